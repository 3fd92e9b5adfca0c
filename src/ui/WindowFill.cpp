#include "ui/WindowFill.h"

#include "board/pixels/ColourRef.h"

namespace WindowFill {

void apply(QWidget* widget, quint32 colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, ColourRef::toColor(colour));
    palette.setColor(QPalette::Base, ColourRef::toColor(colour));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace WindowFill
