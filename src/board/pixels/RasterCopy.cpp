#include "board/pixels/RasterCopy.h"

#include "board/pixels/ParallelLoop.h"

#include <QPainter>

#include <algorithm>
#include <cstring>
#include <vector>

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

void copyWhole(const QImage& source, QImage& target)
{
    if (target.size() == source.size() && target.format() == source.format() && target.isDetached())
        copy(source, source.rect(), target, QPoint(0, 0));
    else
        target = source.copy();
}

QList<QRect> copyChanges(const QImage& source, QImage& target)
{
    Q_ASSERT(source.size() == target.size() && source.format() == target.format() &&
             source.depth() == 32);
    constexpr int blockSide = 64;
    const int width = source.width();
    const int blockRows = (source.height() + blockSide - 1) / blockSide;
    const int blockColumns = (width + blockSide - 1) / blockSide;
    // Pointers taken here: scanLine() on the workers would touch the image's shared state.
    const uchar* from = source.constBits();
    uchar* to = target.bits();
    const qsizetype fromLine = source.bytesPerLine();
    const qsizetype toLine = target.bytesPerLine();
    std::vector<QList<QRect>> changedInRow(static_cast<size_t>(blockRows));
    ParallelLoop::run(blockRows, [&](int blockRow) {
        const int top = blockRow * blockSide;
        const int height = std::min(blockSide, source.height() - top);
        const auto differs = [&](int column) {
            const int left = column * blockSide;
            const size_t bytes = size_t(std::min(blockSide, width - left)) * 4;
            for (int y = top; y < top + height; ++y)
                if (std::memcmp(from + y * fromLine + left * 4, to + y * toLine + left * 4,
                                bytes) != 0)
                    return true;
            return false;
        };
        // Neighbouring blocks that differ are copied together, line by line: a page that differs
        // everywhere is copied in whole lines.
        QList<QRect>& changed = changedInRow[size_t(blockRow)];
        for (int column = 0; column < blockColumns; ++column) {
            if (!differs(column))
                continue;
            int end = column + 1;
            while (end < blockColumns && differs(end))
                ++end;
            const int left = column * blockSide;
            const int right = std::min(end * blockSide, width);
            for (int y = top; y < top + height; ++y)
                std::memcpy(to + y * toLine + left * 4, from + y * fromLine + left * 4,
                            size_t(right - left) * 4);
            changed.append(QRect(left, top, right - left, height));
            column = end;
        }
    });
    QList<QRect> changed;
    for (const QList<QRect>& inRow : changedInRow)
        changed += inRow;
    return changed;
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

void stretch(const QImage& source, const QRect& sourceRect, QImage& target, const QRect& targetRect)
{
    const QRect from = sourceRect.intersected(source.rect());
    const QRect onTarget = targetRect.intersected(target.rect());
    if (from.isEmpty() || onTarget.isEmpty())
        return;
    if (from.size() == targetRect.size()) {
        copy(source, from, target, targetRect.topLeft());
        return;
    }
    if (source.format() != target.format() || source.depth() != 32) {
        QPainter painter(&target);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setClipRect(onTarget);
        painter.drawImage(targetRect, source, from);
        return;
    }
    // Target pixel i of the target rectangle's n covers source position (i + 0.5) * m / n of the
    // source rectangle's m; the pixel under it is the one taken.
    auto sample = [](int i, int n, int first, int m) {
        return first + int((qint64(2 * i + 1) * m) / (qint64(2) * n));
    };
    std::vector<int> columns(size_t(onTarget.width()));
    for (int x = 0; x < onTarget.width(); ++x)
        columns[size_t(x)] = sample(onTarget.left() - targetRect.left() + x, targetRect.width(),
                                    from.left(), from.width());
    for (int y = onTarget.top(); y <= onTarget.bottom(); ++y) {
        const int row =
            sample(y - targetRect.top(), targetRect.height(), from.top(), from.height());
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(row));
        auto* out = reinterpret_cast<QRgb*>(target.scanLine(y)) + onTarget.left();
        for (int x = 0; x < onTarget.width(); ++x)
            out[x] = in[columns[size_t(x)]];
    }
}

} // namespace RasterCopy
