#pragma once

#include <QWidget>

// The screen shade (TForm5): a black window over the whole screen and over every other window, so
// the class looks at the teacher. A press with any button anywhere on it closes it.
class ShadeWindow : public QWidget {
    Q_OBJECT
public:
    ShadeWindow();

    void open();

signals:
    // The shade was closed; whatever lies beneath is to be shown again.
    void closed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
