#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

#include <functional>

// What became of reading a PNG picture.
enum class PngStatus {
    Read,       // the image is the picture
    CannotOpen, // the file is missing, unreadable or not a regular file
    NotPng,     // the bytes are not a PNG picture
    TooLarge,   // the picture is larger than the caller allows
    Truncated,  // the file ends before the picture does
    Corrupt,    // the file breaks the format (bad checksum, header, filter or image data)
};

struct PngPicture {
    QImage image; // null unless status is Read
    PngStatus status = PngStatus::CannotOpen;
};

// One file of a batch: where it goes, and its picture, asked for on the thread that writes it.
struct PngFile {
    QString path;
    std::function<QImage()> picture;
};

// PNG files of board pages, fast in both directions. The writer works straight from the image:
// pictures of at most 256 colours become 8-bit palette PNGs (no row filter), others RGB or RGBA
// with the "up" filter on every row; the image data is deflated by ISA-L at its fastest level.
// Pictures with an alpha channel where every pixel is opaque are written as opaque pictures. The
// reader trusts nothing in the file: sizes are checked against the caller's bound before anything
// is allocated, every chunk must lie inside the file and critical chunks must pass their CRC. It
// decodes non-interlaced pictures of up to 8 bits a sample itself and leaves interlaced and
// 16-bit ones, already checked, to Qt. Loaded pictures are Format_RGB32 when opaque and
// Format_ARGB32 when they carry transparency, as ImageCodec::loadFile gives them.
namespace PngCodec {

// The whole PNG file; empty for a null image.
QByteArray encode(const QImage& image);
// Writes beside the old file and renames over it, so a failed write leaves the old one.
bool save(const QImage& image, const QString& path);
// Writes every file, spread over all cores; a result per file, in order.
QList<bool> saveAll(const QList<PngFile>& files);

// A picture no wider and no higher than bound.
PngPicture decode(QByteArrayView data, QSize bound);
PngPicture read(const QString& path, QSize bound);

} // namespace PngCodec
