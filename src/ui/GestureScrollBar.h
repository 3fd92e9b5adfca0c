#pragma once

#include <QScrollBar>

// A scroll bar that also says when a scroll gesture ends: when the button that dragged the thumb,
// held an arrow or pressed the track comes up, and after each turn of the wheel. Its value has
// settled by then. It takes no keyboard focus and shows no menu of its own.
class GestureScrollBar : public QScrollBar {
    Q_OBJECT
public:
    GestureScrollBar(Qt::Orientation orientation, QWidget* parent);

signals:
    void scrollEnded();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
};
