#include "ui/ColourSwatch.h"

#include <QMouseEvent>

ColourSwatch::ColourSwatch(QWidget* parent, const QString& objectName, const QRect& geometry,
                           const QColor& colour, const QString& hint)
    : QFrame(parent)
{
    setObjectName(objectName);
    setGeometry(geometry);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setAutoFillBackground(true);
    setToolTip(hint);
    setColour(colour);
}

void ColourSwatch::setColour(const QColor& colour)
{
    m_colour = colour;
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, colour);
    setPalette(palette);
}

void ColourSwatch::mouseReleaseEvent(QMouseEvent* event)
{
    if (rect().contains(event->position().toPoint()))
        emit clicked();
    QFrame::mouseReleaseEvent(event);
}
