#pragma once

#include "board/codec/PictureRead.h"

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

// The 100 x 100 thumbnail of a picture file, as the picture column shows it: the picture fitted
// inside the square with its proportions kept and centred across its shorter side, drawn with
// the codec's default interpolation into a transparent 32-bit ARGB bitmap, which goes through
// "tmp.bmt" in the program directory like every resized picture. A JPEG picture is decoded at the
// DCT scale that still covers the thumbnail, so a photo is never decoded at full size; other
// pictures are decoded whole, within PictureLimit. Safe on several threads at once.
// Coordinates: pixels of the thumbnail.
namespace PictureThumbnail {

// Where a picture of this size is drawn: for w > h, s = 100 / w (single precision) and the
// rectangle (0, (w - h) * s / 2, 100, h * s); otherwise s = 100 / h and
// ((h - w) * s / 2, 0, w * s, 100).
QRectF destination(QSize picture);

// The smallest decoded size that still covers the destination, in whole pixels.
QSize sizeNeeded(QSize picture);

// The thumbnail of the file at path; the status says why there is none (a null image).
PictureRead make(const QString& path, const QString& programDirectory);

} // namespace PictureThumbnail
