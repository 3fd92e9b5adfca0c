#include "board/tools/ScreenImage.h"

#include "board/pixels/PageFormat.h"

#include "board/pixels/ProbePixel.h"
#include "board/pixels/RasterCopy.h"

#include <QPainter>

namespace {

QRect shapeBounds(QPoint a, QPoint b)
{
    // Qt outlines a QRect one pixel beyond its right and bottom edge; the shape's far edges lie one
    // pixel inside b, as for edge rectangles.
    return QRect(std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::abs(b.x() - a.x()) - 1,
                 std::abs(b.y() - a.y()) - 1);
}

} // namespace

ScreenImage::ScreenImage(QSize screenSize) : m_image(screenSize, pageFormat)
{
    m_image.fill(Qt::white);
}

void ScreenImage::setRepaintHandler(std::function<void(const QRect&)> handler)
{
    m_repaint = std::move(handler);
}

void ScreenImage::changed(const QRect& rect)
{
    const QRect clipped = rect.intersected(m_image.rect());
    if (!clipped.isEmpty() && m_repaint)
        m_repaint(clipped);
}

void ScreenImage::setPixel(QPoint point, const QColor& colour)
{
    if (!m_image.rect().contains(point))
        return;
    m_image.setPixelColor(point, colour);
    changed(QRect(point, QSize(1, 1)));
}

QColor ScreenImage::backgroundColour() const
{
    return pixel(ProbePixel::background(size()));
}

void ScreenImage::drawLine(const WindowPen& pen, QPoint from, QPoint to)
{
    QPainter painter(&m_image);
    painter.setPen(pen.toQPen());
    painter.drawLine(from, to);
    const int reach = pen.reach();
    changed(QRect(from, to).normalized().adjusted(-reach, -reach, reach, reach));
}

void ScreenImage::drawRectangle(const WindowPen& pen, QPoint a, QPoint b)
{
    const QRect bounds = shapeBounds(a, b);
    QPainter painter(&m_image);
    painter.setPen(pen.toQPen());
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(bounds);
    const int reach = pen.reach();
    changed(bounds.adjusted(-reach, -reach, reach, reach));
}

void ScreenImage::drawEllipse(const WindowPen& pen, QPoint a, QPoint b)
{
    const QRect bounds = shapeBounds(a, b);
    QPainter painter(&m_image);
    painter.setPen(pen.toQPen());
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(bounds);
    const int reach = pen.reach();
    changed(bounds.adjusted(-reach, -reach, reach, reach));
}

void ScreenImage::fill(const QRect& rect, const QColor& colour)
{
    RasterCopy::fill(m_image, rect, colour);
    changed(rect);
}

void ScreenImage::copyFrom(const QImage& source, const QRect& rect)
{
    RasterCopy::copy(source, rect, m_image, rect.topLeft());
    changed(rect);
}

void ScreenImage::showPage(const QImage& page)
{
    if (page.size() != m_image.size() || page.format() != m_image.format()) {
        copyFrom(page, m_image.rect());
        return;
    }
    for (const QRect& rect : RasterCopy::copyChanges(page, m_image))
        changed(rect);
}

void ScreenImage::drawImage(QPoint topLeft, const QImage& source)
{
    RasterCopy::copy(source, source.rect(), m_image, topLeft);
    changed(QRect(topLeft, source.size()));
}

void ScreenImage::paintInPlace(const std::function<QList<QRect>(QImage& pixels)>& paint)
{
    const QImage::Format format = m_image.format();
    const QSize size = m_image.size();
    const QList<QRect> rects = paint(m_image);
    Q_ASSERT(m_image.size() == size && m_image.format() == format);
    for (const QRect& rect : rects)
        changed(rect);
}

void ScreenImage::copyTo(QImage& target, const QRect& rect) const
{
    RasterCopy::copy(m_image, rect, target, rect.topLeft());
}
