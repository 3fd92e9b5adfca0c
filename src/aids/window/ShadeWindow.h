#pragma once

#include <QWidget>

class Desktop;
class QToolButton;

// The screen shade (TForm5): a black window over the whole screen and over every other window, so
// the class looks at the teacher. A press with any button anywhere on it, or a click on its corner
// button, closes it; whatever it covered is then shown again by the windows beneath. Coordinates
// are screen pixels: the shade covers the screen.
class ShadeWindow : public QWidget {
    Q_OBJECT
public:
    explicit ShadeWindow(Desktop& desktop);

    // Covers the screen, puts the close button into the top-right corner and the pointer at the
    // right edge, just below the button.
    void open();

    QToolButton* SpeedButton1;

signals:
    // The shade was closed; whatever lies beneath is to be shown again.
    void closed();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void closeShade();

    Desktop& m_desktop;
};
