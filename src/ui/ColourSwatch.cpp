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

void ColourSwatch::mousePressEvent(QMouseEvent* event)
{
    // The press is the swatch's own, whatever the button: it is never handed to the window below.
    event->accept();
}

void ColourSwatch::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
