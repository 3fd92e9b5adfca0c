#include "board/tools/CursorFile.h"

#include "files/RegularFile.h"

#include <QDir>
#include <QPixmap>

namespace {

constexpr qint64 DirectorySize = 6;
constexpr qint64 EntrySize = 16;
constexpr qint64 InfoHeaderSize = 40;
constexpr int MaxSide = 256;

quint16 u16(const QByteArray& bytes, qint64 at)
{
    return quint16(quint8(bytes[at]) | (quint8(bytes[at + 1]) << 8));
}

quint32 u32(const QByteArray& bytes, qint64 at)
{
    return quint32(u16(bytes, at)) | (quint32(u16(bytes, at + 2)) << 16);
}

// In the directory entry a side of 0 stands for 256.
int entrySide(quint8 value)
{
    return value == 0 ? MaxSide : value;
}

} // namespace

std::optional<CursorFile::Picture> CursorFile::decode(const QByteArray& bytes)
{
    const qint64 size = bytes.size();
    if (size < DirectorySize + EntrySize)
        return std::nullopt;
    const quint16 reserved = u16(bytes, 0);
    const quint16 type = u16(bytes, 2);
    const quint16 count = u16(bytes, 4);
    if (reserved != 0 || type != 2 || count == 0)
        return std::nullopt;

    // Only the first entry is used; the others may be absent from a short file.
    const qint64 entry = DirectorySize;
    const int entryWidth = entrySide(quint8(bytes[entry]));
    const int entryHeight = entrySide(quint8(bytes[entry + 1]));
    const QPoint hotSpot(u16(bytes, entry + 4), u16(bytes, entry + 6));
    const qint64 imageSize = u32(bytes, entry + 8);
    const qint64 imageOffset = u32(bytes, entry + 12);
    if (imageOffset < DirectorySize + EntrySize || imageSize < InfoHeaderSize ||
        imageOffset + imageSize > size)
        return std::nullopt;

    const qint64 info = imageOffset;
    const qint64 headerSize = u32(bytes, info);
    const qint32 width = qint32(u32(bytes, info + 4));
    const qint32 doubleHeight = qint32(u32(bytes, info + 8));
    const quint16 planes = u16(bytes, info + 12);
    const quint16 bitCount = u16(bytes, info + 14);
    const quint32 compression = u32(bytes, info + 16);
    if (headerSize < InfoHeaderSize || headerSize > imageSize || planes != 1 || bitCount != 32 ||
        compression != 0)
        return std::nullopt;
    // The bitmap holds the colour picture and the mask one above the other: twice the height.
    if (width < 1 || width > MaxSide || doubleHeight < 2 || doubleHeight > 2 * MaxSide ||
        doubleHeight % 2 != 0)
        return std::nullopt;
    const int height = doubleHeight / 2;
    if (width != entryWidth || height != entryHeight || hotSpot.x() >= width ||
        hotSpot.y() >= height)
        return std::nullopt;

    const qint64 colourStride = qint64(width) * 4;
    const qint64 maskStride = (qint64(width) + 31) / 32 * 4;
    const qint64 colour = info + headerSize;
    const qint64 mask = colour + colourStride * height;
    if (mask + maskStride * height > imageOffset + imageSize)
        return std::nullopt;

    // A picture whose alpha is all zero comes from a writer that knew no alpha: then the mask
    // alone says what is transparent. Otherwise alpha rules and the mask is not consulted.
    bool hasAlpha = false;
    for (qint64 i = colour + 3; i < mask && !hasAlpha; i += 4)
        hasAlpha = bytes[i] != 0;

    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        const qint64 row = height - 1 - y; // bottom-up
        const auto* src =
            reinterpret_cast<const quint8*>(bytes.constData() + colour) + row * colourStride;
        const auto* maskRow =
            reinterpret_cast<const quint8*>(bytes.constData() + mask) + row * maskStride;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const quint8* p = src + 4 * x;
            int alpha = p[3];
            if (!hasAlpha)
                alpha = (maskRow[x / 8] & (0x80 >> (x % 8))) ? 0 : 255;
            out[x] = qRgba(p[2], p[1], p[0], alpha);
        }
    }
    return Picture{image, hotSpot};
}

std::optional<QCursor> CursorFile::load(const QString& path)
{
    // A cursor of the largest accepted size is far below this; anything bigger is not ours.
    constexpr qint64 MaxFileSize = 1 << 20;
    const std::optional<QByteArray> bytes = RegularFile::readThroughLink(path, MaxFileSize);
    if (!bytes)
        return std::nullopt;
    const std::optional<Picture> picture = decode(*bytes);
    if (!picture)
        return std::nullopt;
    return QCursor(QPixmap::fromImage(picture->image), picture->hotSpot.x(), picture->hotSpot.y());
}

void CursorSlots::loadFromFile(int slot, const QString& fileName)
{
    if (std::optional<QCursor> cursor = CursorFile::load(QDir::current().filePath(fileName)))
        m_cursors.insert(slot, *cursor);
    else
        m_cursors.remove(slot);
}

QCursor CursorSlots::cursor(int slot) const
{
    return m_cursors.value(slot, QCursor(Qt::ArrowCursor));
}
