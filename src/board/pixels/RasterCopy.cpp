#include "board/pixels/RasterCopy.h"

#include <QPainter>

#include <cstring>

namespace RasterCopy {

void copy(const QImage& source, const QRect& sourceRect, QImage& target, QPoint targetTopLeft)
{
    // Clip against the source, then move the same amount on the target and clip against it.
    QRect from = sourceRect.intersected(source.rect());
    QPoint to = targetTopLeft + (from.topLeft() - sourceRect.topLeft());
    const QRect onTarget = QRect(to, from.size()).intersected(target.rect());
    from = QRect(from.topLeft() + (onTarget.topLeft() - to), onTarget.size());
    to = onTarget.topLeft();
    if (from.isEmpty())
        return;

    if (source.format() == target.format() && source.depth() == 32) {
        const qsizetype rowBytes = qsizetype(from.width()) * 4;
        for (int row = 0; row < from.height(); ++row) {
            const uchar* in = source.constScanLine(from.top() + row) + qsizetype(from.left()) * 4;
            uchar* out = target.scanLine(to.y() + row) + qsizetype(to.x()) * 4;
            std::memmove(out, in, size_t(rowBytes));
        }
        return;
    }
    QPainter painter(&target);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(to, source, from);
}

void fill(QImage& target, const QRect& rect, const QColor& colour)
{
    const QRect clipped = rect.intersected(target.rect());
    if (clipped.isEmpty())
        return;
    if (target.depth() == 32) {
        const QRgb value =
            target.format() == QImage::Format_RGB32 ? colour.rgb() | 0xFF000000u : colour.rgba();
        for (int row = clipped.top(); row <= clipped.bottom(); ++row) {
            auto* line = reinterpret_cast<QRgb*>(target.scanLine(row));
            std::fill(line + clipped.left(), line + clipped.left() + clipped.width(), value);
        }
        return;
    }
    QPainter painter(&target);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(clipped, colour);
}

} // namespace RasterCopy
