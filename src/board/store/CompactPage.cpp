#include "board/store/CompactPage.h"

#include <lz4.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr int TilePixels = CompactPage::TileSide * CompactPage::TileSide;

bool isKept32(QImage::Format format)
{
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
           format == QImage::Format_ARGB32_Premultiplied;
}

const quint32* row32(const QImage& image, int y)
{
    return reinterpret_cast<const quint32*>(image.constScanLine(y));
}

// Three bytes a pixel, low byte first, for pixels whose top byte is 0xff.
void pack(const quint32* pixels, int count, uchar* out)
{
    for (int i = 0; i < count; ++i, out += 3) {
        out[0] = uchar(pixels[i]);
        out[1] = uchar(pixels[i] >> 8);
        out[2] = uchar(pixels[i] >> 16);
    }
}

void unpack(const uchar* in, int count, quint32* pixels)
{
    for (int i = 0; i < count; ++i, in += 3)
        pixels[i] = 0xff000000u | in[0] | quint32(in[1]) << 8 | quint32(in[2]) << 16;
}

} // namespace

CompactPage::CompactPage(const QImage& image)
{
    if (image.isNull())
        return;
    const QImage kept =
        isKept32(image.format()) ? image : image.convertToFormat(QImage::Format_RGB32);
    m_size = kept.size();
    m_format = kept.format();
    const int columns = tileColumns();
    const int rows = (m_size.height() + TileSide - 1) / TileSide;
    m_tiles.reserve(qsizetype(columns) * rows);
    for (int index = 0; index < columns * rows; ++index)
        encodeTile(kept, tileRect(index));
    m_bytes.squeeze();
}

CompactPage CompactPage::filled(QSize size, QImage::Format format, QRgb value)
{
    CompactPage page;
    if (size.isEmpty())
        return page;
    page.m_size = size;
    page.m_format = format;
    const int rows = (size.height() + TileSide - 1) / TileSide;
    page.m_tiles.fill(Tile{value, 0, Form::OneColour}, qsizetype(page.tileColumns()) * rows);
    return page;
}

QRect CompactPage::tileRect(int index) const
{
    const int columns = tileColumns();
    const QPoint topLeft((index % columns) * TileSide, (index / columns) * TileSide);
    return QRect(topLeft, QSize(std::min(TileSide, m_size.width() - topLeft.x()),
                                std::min(TileSide, m_size.height() - topLeft.y())));
}

void CompactPage::encodeTile(const QImage& image, const QRect& rect)
{
    const int width = rect.width(), height = rect.height(), left = rect.left();
    const quint32 first = row32(image, rect.top())[left];
    quint32 differs = 0;
    for (int y = 0; y < height && !differs; ++y) {
        const quint32* line = row32(image, rect.top() + y) + left;
        for (int x = 0; x < width; ++x)
            differs |= line[x] ^ first;
    }
    if (!differs) {
        m_tiles.append(Tile{first, 0, Form::OneColour});
        return;
    }

    quint32 pixels[TilePixels];
    quint32 topBytes = 0xffffffffu;
    for (int y = 0; y < height; ++y) {
        const quint32* line = row32(image, rect.top() + y) + left;
        quint32* out = pixels + y * width;
        for (int x = 0; x < width; ++x) {
            out[x] = line[x];
            topBytes &= line[x];
        }
    }
    const int count = width * height;
    const bool opaque = (topBytes >> 24) == 0xff;
    uchar packed[TilePixels * 3];
    const char* source = reinterpret_cast<const char*>(pixels);
    int sourceBytes = count * 4;
    if (opaque) {
        pack(pixels, count, packed);
        source = reinterpret_cast<const char*>(packed);
        sourceBytes = count * 3;
    }

    char compressed[LZ4_COMPRESSBOUND(TilePixels * 4)];
    const int length =
        LZ4_compress_default(source, compressed, sourceBytes, int(sizeof compressed));
    Tile tile;
    tile.value = quint32(m_bytes.size());
    if (length > 0 && length < sourceBytes) {
        tile.form = opaque ? Form::Lz4Rgb : Form::Lz4Argb;
        tile.length = quint32(length);
        m_bytes.append(compressed, length);
    } else {
        tile.form = opaque ? Form::StoredRgb : Form::StoredArgb;
        tile.length = quint32(sourceBytes);
        m_bytes.append(source, sourceBytes);
    }
    m_tiles.append(tile);
}

void CompactPage::decodeTile(int index, uchar* target, qsizetype bytesPerLine) const
{
    const Tile& tile = m_tiles[index];
    const QRect rect = tileRect(index);
    const int width = rect.width(), height = rect.height(), count = width * height;
    const char* bytes = m_bytes.constData() + tile.value;
    auto line = [&](int y) { return reinterpret_cast<quint32*>(target + y * bytesPerLine); };

    quint32 pixels[TilePixels];
    switch (tile.form) {
    case Form::OneColour:
        for (int y = 0; y < height; ++y)
            std::fill_n(line(y), width, tile.value);
        return;
    case Form::StoredArgb:
        for (int y = 0; y < height; ++y)
            std::memcpy(line(y), bytes + qsizetype(y) * width * 4, size_t(width) * 4);
        return;
    case Form::StoredRgb:
        for (int y = 0; y < height; ++y)
            unpack(reinterpret_cast<const uchar*>(bytes) + qsizetype(y) * width * 3, width,
                   line(y));
        return;
    case Form::Lz4Argb: {
        [[maybe_unused]] const int decoded = LZ4_decompress_safe(
            bytes, reinterpret_cast<char*>(pixels), int(tile.length), count * 4);
        Q_ASSERT(decoded == count * 4);
        break;
    }
    case Form::Lz4Rgb: {
        uchar packed[TilePixels * 3];
        [[maybe_unused]] const int decoded = LZ4_decompress_safe(
            bytes, reinterpret_cast<char*>(packed), int(tile.length), count * 3);
        Q_ASSERT(decoded == count * 3);
        unpack(packed, count, pixels);
        break;
    }
    }
    for (int y = 0; y < height; ++y)
        std::memcpy(line(y), pixels + y * width, size_t(width) * 4);
}

QImage CompactPage::toImage() const
{
    QImage image;
    decodeInto(image);
    return image;
}

void CompactPage::decodeInto(QImage& target) const
{
    if (isNull()) {
        target = QImage();
        return;
    }
    if (target.size() != m_size || target.format() != m_format || !target.isDetached())
        target = QImage(m_size, m_format);
    if (target.isNull())
        return; // out of memory: Qt leaves the image null
    uchar* bits = target.bits();
    const qsizetype bytesPerLine = target.bytesPerLine();
    for (int index = 0; index < m_tiles.size(); ++index) {
        const QRect rect = tileRect(index);
        decodeTile(index, bits + rect.top() * bytesPerLine + qsizetype(rect.left()) * 4,
                   bytesPerLine);
    }
}

QRgb CompactPage::pixel(QPoint point) const
{
    Q_ASSERT(QRect(QPoint(), m_size).contains(point));
    const int index = point.y() / TileSide * tileColumns() + point.x() / TileSide;
    if (m_tiles[index].form == Form::OneColour)
        return m_tiles[index].value;
    const QRect rect = tileRect(index);
    quint32 pixels[TilePixels];
    decodeTile(index, reinterpret_cast<uchar*>(pixels), qsizetype(rect.width()) * 4);
    return pixels[(point.y() - rect.top()) * rect.width() + point.x() - rect.left()];
}

qsizetype CompactPage::memoryBytes() const
{
    return qsizetype(sizeof(*this)) + m_bytes.capacity() +
           m_tiles.capacity() * qsizetype(sizeof(Tile));
}
