#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

// Block copies and fills between board images, clipped to both images like a blit: the one place
// where page, scratch, underlay and window pixels are moved. Same-format 32-bit images are copied
// row by row; anything else goes through QPainter in source mode.
namespace RasterCopy {

// Copies sourceRect of source to target with its top-left corner at targetTopLeft.
void copy(const QImage& source, const QRect& sourceRect, QImage& target, QPoint targetTopLeft);
void fill(QImage& target, const QRect& rect, const QColor& colour);

} // namespace RasterCopy
