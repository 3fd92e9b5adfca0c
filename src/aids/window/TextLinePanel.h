#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QTimer;
class QToolButton;
class TextLinePanelModel;

// The text-line panel (TForm14): a small always-on-top window with lines of text for the
// companion handwriting program. It shows the model's lines and forwards its buttons and its timer
// to the model; the model opens and closes it. The toolbar places and opens it.
class TextLinePanel : public QWidget {
    Q_OBJECT
public:
    explicit TextLinePanel(TextLinePanelModel& model);

    // Places the panel for the screen: centred across, and on a 600-pixel-high screen pressed
    // together below the top strip.
    void placeFor(QSize screenSize);

    TextLinePanelModel& model() { return m_model; }
    // 1 while the panel is open; the board brings the panel back when it is 1.
    int openMark() const;

    QPlainTextEdit* Memo1;
    QLabel* Label1;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButton2;
    QToolButton* SpeedButton3;
    QTimer* Timer1;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TextLinePanelModel& m_model;
};
