#include "ui/PictureButton.h"

#include <QPainter>

PictureButton::PictureButton(QWidget* parent) : QToolButton(parent)
{
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}

void PictureButton::paintEvent(QPaintEvent*)
{
    QIcon::Mode mode = QIcon::Normal;
    QIcon::State state = QIcon::Off;
    if (!isEnabled()) {
        mode = QIcon::Disabled;
    } else if (isDown()) {
        state = QIcon::On;
    } else if (isChecked()) {
        mode = QIcon::Active;
        state = QIcon::On;
    }
    const QPixmap picture = icon().pixmap(iconSize(), mode, state);
    const QPoint corner((width() - picture.width()) / 2, (height() - picture.height()) / 2);
    QPainter painter(this);
    painter.drawPixmap(corner, picture);
}
