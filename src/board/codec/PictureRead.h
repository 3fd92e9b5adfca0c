#pragma once

#include <QImage>
#include <QSize>

#include <functional>

// What became of reading a picture file.
enum class PictureStatus {
    Read,       // the image is the picture
    CannotOpen, // the file is missing, unreadable, too large a file or not a regular file
    NotPicture, // the bytes are no picture format the program reads
    TooLarge,   // the picture has more pixels than the program decodes
    Truncated,  // the file ends before the picture does
    Corrupt,    // the file breaks its format
};

struct PictureRead {
    QImage image; // null unless status is Read; RGB32 when opaque, ARGB32 with alpha
    QSize size;   // the picture's own size, once its header was read, whatever the scale decoded
    PictureStatus status = PictureStatus::CannotOpen;
    // The image is the picture reduced by this factor: size / reduction, rounded up, so its last
    // column and row may stand for less than a whole pixel of it.
    int reduction = 1;
};

// Given a picture's size from its header, the smallest size the caller will draw it at; a reader
// that can decode reduced pictures decodes no finer. Empty, or an empty size: the whole picture.
using SizeNeeded = std::function<QSize(QSize picture)>;

// The largest picture the program decodes: 2^27 pixels (134 megapixels, 512 MiB at 32 bits),
// room for the largest camera pictures. A header that claims more is refused before any pixel is
// decoded, so a small hostile file cannot make the program allocate gigabytes.
namespace PictureLimit {

inline constexpr qint64 pixels = qint64(1) << 27;
// Picture files are read whole into memory; none larger than this is read.
inline constexpr qint64 fileBytes = qint64(512) << 20;

inline bool admits(QSize size)
{
    return size.width() > 0 && size.height() > 0 && qint64(size.width()) * size.height() <= pixels;
}

} // namespace PictureLimit
