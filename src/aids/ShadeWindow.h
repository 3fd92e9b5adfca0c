#pragma once

#include <QWidget>

class Desktop;

// The screen shade (TForm5): a black window over the whole screen and over every other window, so
// the class looks at the teacher. A press with any button anywhere on it closes it.
class ShadeWindow : public QWidget {
    Q_OBJECT
public:
    explicit ShadeWindow(Desktop& desktop);

    // Covers the screen and puts the pointer at the right edge, just below the top corner.
    void open();

signals:
    // The shade was closed; whatever lies beneath is to be shown again.
    void closed();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    Desktop& m_desktop;
};
