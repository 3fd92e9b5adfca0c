#include "ui/GestureScrollBar.h"

#include <QMouseEvent>

GestureScrollBar::GestureScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent)
{
    setFocusPolicy(Qt::NoFocus);
    setContextMenuPolicy(Qt::PreventContextMenu);
}

void GestureScrollBar::mouseReleaseEvent(QMouseEvent* event)
{
    QScrollBar::mouseReleaseEvent(event);
    emit scrollEnded();
}

void GestureScrollBar::wheelEvent(QWheelEvent* event)
{
    QScrollBar::wheelEvent(event);
    emit scrollEnded();
}
