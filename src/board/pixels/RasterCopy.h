#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>

// Block copies and fills between board images, clipped to both images like a blit: the one place
// where page, scratch, underlay and window pixels are moved. Same-format 32-bit images are copied
// row by row; anything else goes through QPainter in source mode.
namespace RasterCopy {

// Copies sourceRect of source to target with its top-left corner at targetTopLeft.
void copy(const QImage& source, const QRect& sourceRect, QImage& target, QPoint targetTopLeft);
// Makes target a copy of the whole of source, into target's own pixels when it has them in
// source's size and format (shared with no other image), else into new ones.
void copyWhole(const QImage& source, QImage& target);
// Makes target equal to source (the same size and 32-bit format) by copying only the pixels that
// differ, compared in blocks of 64 x 64 pixels on all cores; returns the rectangles it copied,
// each a run of neighbouring blocks in one row of blocks. A page turn changes few blocks of a
// written page, so the window repaints and sends to the screen only those.
QList<QRect> copyChanges(const QImage& source, QImage& target);
void fill(QImage& target, const QRect& rect, const QColor& colour);
// Stretches sourceRect of source over targetRect of target, the fast way a blit stretches: each
// target pixel takes the one source pixel under its centre, nothing is filtered. Equal sizes copy.
// Clipped to the target; samples stay within sourceRect and the source.
void stretch(const QImage& source, const QRect& sourceRect, QImage& target,
             const QRect& targetRect);

} // namespace RasterCopy
