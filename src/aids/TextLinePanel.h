#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QTimer;
class QToolButton;

// The text-line panel (TForm14): a small always-on-top window with lines of text for the
// companion handwriting program. The toolbar places and opens it.
class TextLinePanel : public QWidget {
    Q_OBJECT
public:
    TextLinePanel();

    // Places the panel for the screen: centred across, and on a 600-pixel-high screen pressed
    // together below the top strip.
    void placeFor(QSize screenSize);

    // 1 while the panel is open; the board brings the panel back when it is 1.
    int openMark() const { return m_openMark; }
    void setOpenMark(int mark) { m_openMark = mark; }

    QPlainTextEdit* Memo1;
    QLabel* Label1;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButton2;
    QToolButton* SpeedButton3;
    QTimer* Timer1;

private:
    int m_openMark = 0;
};
