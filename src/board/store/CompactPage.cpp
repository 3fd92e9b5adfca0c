#include "board/store/CompactPage.h"

#include "board/pixels/ParallelLoop.h"

#include <lz4.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr int TilePixels = CompactPage::TileSide * CompactPage::TileSide;
static_assert(TilePixels * 4 < (1 << 29), "a tile's length fits its field");

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
    // Every row writes only its own tiles and bytes.
    m_tiles.reserve(qsizetype(tileColumns()) * tileRows()); // exactly: no room to grow
    m_tiles.resize(qsizetype(tileColumns()) * tileRows());
    m_rows.reserve(tileRows());
    m_rows.resize(tileRows());
    Tile* tiles = m_tiles.data();
    QByteArray* rows = m_rows.data();
    ParallelLoop::run(tileRows(), [&](int row) {
        // The row is compressed into room for its worst case, then kept in an array of its exact
        // size: long-lived blocks fit, and the short-lived ones are all alike, so memory given
        // back is taken again instead of splitting the heap.
        QByteArray work;
        Tile* rowTiles = tiles + qsizetype(row) * tileColumns();
        for (int column = 0; column < tileColumns(); ++column)
            rowTiles[column] = encodeTile(kept, tileRect(row * tileColumns() + column), work);
        if (!work.isEmpty())
            rows[row] = QByteArray(work.constData(), work.size());
    });
}

CompactPage CompactPage::filled(QSize size, QImage::Format format, QRgb value)
{
    CompactPage page;
    if (size.isEmpty())
        return page;
    page.m_size = size;
    page.m_format = format;
    page.m_tiles.reserve(qsizetype(page.tileColumns()) * page.tileRows());
    page.m_tiles.fill(Tile{value, 0, Form::OneColour},
                      qsizetype(page.tileColumns()) * page.tileRows());
    page.m_rows.reserve(page.tileRows());
    page.m_rows.resize(page.tileRows());
    return page;
}

QRect CompactPage::tileRect(int index) const
{
    const int columns = tileColumns();
    const QPoint topLeft((index % columns) * TileSide, (index / columns) * TileSide);
    return QRect(topLeft, QSize(std::min(TileSide, m_size.width() - topLeft.x()),
                                std::min(TileSide, m_size.height() - topLeft.y())));
}

CompactPage::Tile CompactPage::encodeTile(const QImage& image, const QRect& rect, QByteArray& bytes)
{
    const int width = rect.width(), height = rect.height(), left = rect.left();
    const quint32 first = row32(image, rect.top())[left];
    quint32 differs = 0, topBytes = 0xffffffffu;
    for (int y = 0; y < height; ++y) {
        const quint32* line = row32(image, rect.top() + y) + left;
        for (int x = 0; x < width; ++x) {
            differs |= line[x] ^ first;
            topBytes &= line[x];
        }
    }
    if (!differs)
        return Tile{first, 0, Form::OneColour};

    // The tile's pixels in a row, three bytes each when every top byte is 0xff.
    const bool opaque = (topBytes >> 24) == 0xff;
    const int bytesPerPixel = opaque ? 3 : 4;
    uchar pixels[TilePixels * 4];
    for (int y = 0; y < height; ++y) {
        const quint32* line = row32(image, rect.top() + y) + left;
        uchar* out = pixels + y * width * bytesPerPixel;
        if (opaque)
            pack(line, width, out);
        else
            std::memcpy(out, line, size_t(width) * 4);
    }
    const int sourceBytes = width * height * bytesPerPixel;
    const char* source = reinterpret_cast<const char*>(pixels);

    if (bytes.capacity() == 0)
        bytes.reserve(qsizetype(image.width()) * TileSide * 4 + image.width());
    char compressed[LZ4_COMPRESSBOUND(TilePixels * 4)];
    const int length =
        LZ4_compress_default(source, compressed, sourceBytes, int(sizeof compressed));
    Tile tile;
    tile.value = quint32(bytes.size());
    if (length > 0 && length < sourceBytes) {
        tile.form = opaque ? Form::Lz4Rgb : Form::Lz4Argb;
        tile.length = quint32(length);
        bytes.append(compressed, length);
    } else {
        tile.form = opaque ? Form::StoredRgb : Form::StoredArgb;
        tile.length = quint32(sourceBytes);
        bytes.append(source, sourceBytes);
    }
    return tile;
}

void CompactPage::decodeTile(int index, uchar* target, qsizetype bytesPerLine) const
{
    const Tile& tile = m_tiles[index];
    const QRect rect = tileRect(index);
    const int width = rect.width(), height = rect.height(), count = width * height;
    const char* bytes = m_rows[index / tileColumns()].constData() + tile.value;
    auto line = [&](int y) { return reinterpret_cast<quint32*>(target + y * bytesPerLine); };

    uchar pixels[TilePixels * 4];
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
        for (int y = 0; y < height; ++y)
            std::memcpy(line(y), pixels + qsizetype(y) * width * 4, size_t(width) * 4);
        return;
    }
    case Form::Lz4Rgb: {
        [[maybe_unused]] const int decoded = LZ4_decompress_safe(
            bytes, reinterpret_cast<char*>(pixels), int(tile.length), count * 3);
        Q_ASSERT(decoded == count * 3);
        for (int y = 0; y < height; ++y)
            unpack(pixels + qsizetype(y) * width * 3, width, line(y));
        return;
    }
    }
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
    ParallelLoop::run(tileRows(), [&](int row) {
        for (int index = row * tileColumns(); index < (row + 1) * tileColumns(); ++index) {
            const QRect rect = tileRect(index);
            decodeTile(index, bits + rect.top() * bytesPerLine + qsizetype(rect.left()) * 4,
                       bytesPerLine);
        }
    });
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
    static_assert(sizeof(Tile) == 8);
    qsizetype bytes = qsizetype(sizeof(*this)) + m_tiles.capacity() * qsizetype(sizeof(Tile)) +
                      m_rows.capacity() * qsizetype(sizeof(QByteArray));
    for (const QByteArray& row : m_rows)
        bytes += row.capacity();
    return bytes;
}
