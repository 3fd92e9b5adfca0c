#pragma once

#include "board/codec/PictureRead.h"

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QString>

// How a scaled draw samples its source. The values are those the board's rules name.
enum class Interpolation {
    LowQuality = 1,         // bilinear, no prefilter: fast, aliases when shrinking
    HighQuality = 2,        // bilinear, widened to the destination pixel when shrinking
    HighQualityBicubic = 7, // bicubic (Keys, a = -0.5), widened likewise when shrinking
};

// What a drawing surface that was never given a mode draws with: bilinear, as mode 1.
inline constexpr Interpolation defaultInterpolation = Interpolation::LowQuality;

// The picture operations the board relies on: loading, blank bitmaps, scaled drawing with a chosen
// interpolation, PNG and BMP output, and the scaled copy that passes through "tmp.bmt".
// Coordinates are pixels of the images involved.
namespace ImageCodec {

// Any picture format Qt reads, decided by content; a null image when it cannot be read.
// Loaded images are RGB32 when opaque, ARGB32 when they carry alpha.
QImage loadFile(const QString& path);
// loadFile with the reason for a failure. JPEG content goes through JpegCodec, decoded at the
// smallest DCT scale that still covers what sizeNeeded asks for (without it, the full picture);
// other formats are decoded whole by Qt. Only a regular file of at most PictureLimit::fileBytes
// is read, and a picture beyond PictureLimit::pixels is refused from its header.
PictureRead readPicture(const QString& path, const SizeNeeded& sizeNeeded = {});
// A loaded picture in the program's two formats: RGB32 when opaque, ARGB32 when it has alpha.
QImage normalised(const QImage& image);
// An in-memory BMP stream, as written by bmpStream().
QImage loadBmpStream(const QByteArray& stream);
// Opaque images become 24-bit BMPs; images with an alpha channel 32-bit BMPs with an alpha mask,
// which read back with their transparency. Either way the pixels round-trip exactly.
QByteArray bmpStream(const QImage& image);

// A blank 32-bit ARGB bitmap: every pixel transparent black.
QImage createBitmap(int width, int height);

// Draws the source rectangle of source scaled into the destination rectangle of target,
// source-over. Destination pixel (x + 0.5) maps into the source by the ratio of the rectangles;
// samples beyond the source rectangle clamp to its edge pixels; pixels a fractional edge covers
// partly take the result by their coverage; pixels outside target are clipped.
void drawScaled(QImage& target, const QRectF& destination, const QImage& source,
                const QRectF& sourceRect, Interpolation mode);

// The encoder for a MIME type ("image/png", "image/bmp"), empty when there is none.
QString encoderFor(const QString& mimeType);
bool save(const QImage& image, const QString& path, const QString& encoder);

// Saves as PNG, as lesson pages and captures are written (PngCodec: fast, straight from the image).
bool savePng(const QImage& image, const QString& path);

// The scaled copy every resize in the program goes through: draw source into a new bitmap of
// targetSize with mode and pass it through fileName ("tmp.bmt", or "tmp.bmp" for the overlay's
// reduce) in programDirectory, as throughFile() does. Safe on several threads at once: they draw
// side by side and take turns with the file.
QImage scaledCopy(const QImage& source, const QRectF& sourceRect, const QSize& targetSize,
                  const QRectF& destination, Interpolation mode, const QString& programDirectory,
                  const QString& fileName = QStringLiteral("tmp.bmt"));

// Writes bitmap as a BMP to fileName in programDirectory (which ends with "/") and loads it back
// from there, as every picture the board takes in unscaled passes the scratch file. When the file
// cannot be written or read back, bitmap itself is returned.
QImage throughFile(const QImage& bitmap, const QString& programDirectory,
                   const QString& fileName = QStringLiteral("tmp.bmt"));

} // namespace ImageCodec
