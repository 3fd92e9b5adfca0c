#include "board/window/ThumbnailPicture.h"

#include <QMouseEvent>
#include <QPainter>

ThumbnailPicture::ThumbnailPicture(const QImage& picture, QWidget* parent)
    : QWidget(parent), m_picture(picture)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ThumbnailPicture::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    if (m_picture.isNull()) {
        painter.fillRect(area, Qt::black);
        return;
    }
    painter.drawImage(area.topLeft(), m_picture, area);
}

void ThumbnailPicture::mousePressEvent(QMouseEvent* event)
{
    // The press is the area's own, so that the release comes here.
    event->accept();
}

void ThumbnailPicture::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    emit released(event->position().toPoint());
}
