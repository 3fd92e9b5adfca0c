#include "board/store/CompactPage.h"

#include "board/pixels/ParallelLoop.h"
#include "board/store/PictureTileCodec.h"

#include <QtEndian>
#include <isa-l/crc.h>
#include <lz4.h>

#include <algorithm>
#include <atomic>
#include <cstring>

namespace {

constexpr int TilePixels = CompactPage::TileSide * CompactPage::TileSide;
static_assert(TilePixels * 4 < (1 << 29), "a tile's length fits its field");
static_assert(CompactPage::TileSide <= PictureTileCodec::MaxSide);

// A tile that LZ4 brings to an eighth of its bytes or less is drawn (strokes, shapes, flat
// areas): it stays LZ4, which is small enough there and decodes fastest. Other tiles are
// pictures and get the picture codec when that is smaller still.
constexpr int DrawnTileShare = 8;

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

// The byte form: "ZKCP", its version, width, height and format, then per tile its form, value
// and length, per row of tiles its length and bytes, and at the end the CRC-32 of everything
// before it. Numbers are 32 bits, little-endian; a form is one byte.
constexpr char byteFormMagic[4] = {'Z', 'K', 'C', 'P'};
constexpr quint32 byteFormVersion = 2; // 2: tiles in the picture codec
constexpr qsizetype headerBytes = 4 + 4 * 4;
constexpr qsizetype tileEntryBytes = 1 + 4 + 4;

void appendLe32(QByteArray& out, quint32 value)
{
    const quint32 le = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&le), 4);
}

quint32 crcOf(QByteArrayView bytes)
{
    return crc32_gzip_refl(0, reinterpret_cast<const unsigned char*>(bytes.data()),
                           uint64_t(bytes.size()));
}

// Reads little-endian numbers from bytes, never past their end.
class ByteReader {
public:
    explicit ByteReader(QByteArrayView bytes) : m_bytes(bytes) {}
    bool has(qsizetype count) const { return count >= 0 && count <= m_bytes.size() - m_at; }
    quint32 le32()
    {
        const quint32 value = qFromLittleEndian<quint32>(m_bytes.data() + m_at);
        m_at += 4;
        return value;
    }
    quint8 byte() { return quint8(m_bytes[m_at++]); }
    QByteArrayView take(qsizetype count)
    {
        const QByteArrayView taken = m_bytes.sliced(m_at, count);
        m_at += count;
        return taken;
    }
    qsizetype at() const { return m_at; }

private:
    QByteArrayView m_bytes;
    qsizetype m_at = 0;
};

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
    QList<QByteArray> rowBytes(tileRows());
    Tile* tiles = m_tiles.data();
    QByteArray* rows = rowBytes.data();
    ParallelLoop::run(tileRows(), [&](int row) {
        // The row is compressed into room for its worst case, then kept in an array of its exact
        // size: long-lived blocks fit, and the short-lived ones are all alike, so memory given
        // back is taken again instead of splitting the heap.
        QByteArray work, picture;
        Tile* rowTiles = tiles + qsizetype(row) * tileColumns();
        for (int column = 0; column < tileColumns(); ++column)
            rowTiles[column] =
                encodeTile(kept, tileRect(row * tileColumns() + column), work, picture);
        if (!work.isEmpty())
            rows[row] = QByteArray(work.constData(), work.size());
    });
    m_rows = std::make_shared<TileRowBytes>(std::move(rowBytes));
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
    page.m_rows = std::make_shared<TileRowBytes>(QList<QByteArray>(page.tileRows()));
    return page;
}

QRect CompactPage::tileRect(int index) const
{
    const int columns = tileColumns();
    const QPoint topLeft((index % columns) * TileSide, (index / columns) * TileSide);
    return QRect(topLeft, QSize(std::min(TileSide, m_size.width() - topLeft.x()),
                                std::min(TileSide, m_size.height() - topLeft.y())));
}

CompactPage::Tile CompactPage::encodeTile(const QImage& image, const QRect& rect, QByteArray& bytes,
                                          QByteArray& picture)
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
    if (length <= 0 || length > sourceBytes / DrawnTileShare) {
        picture.clear();
        const qsizetype pictureLength =
            PictureTileCodec::encode(row32(image, rect.top()) + left, image.bytesPerLine() / 4,
                                     width, height, opaque, picture);
        if (pictureLength > 0 && pictureLength < sourceBytes &&
            (length <= 0 || pictureLength < length)) {
            tile.form = opaque ? Form::PictureRgb : Form::PictureArgb;
            tile.length = quint32(pictureLength);
            bytes.append(picture);
            return tile;
        }
    }
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

void CompactPage::decodeTile(int index, const QByteArray& rowBytes, uchar* target,
                             qsizetype bytesPerLine) const
{
    const Tile& tile = m_tiles[index];
    const QRect rect = tileRect(index);
    const int width = rect.width(), height = rect.height(), count = width * height;
    auto line = [&](int y) { return reinterpret_cast<quint32*>(target + y * bytesPerLine); };
    if (tile.form != Form::OneColour &&
        quint64(tile.value) + tile.length > quint64(rowBytes.size())) {
        // Bytes that could not be read back from disk: the tile shows black.
        for (int y = 0; y < height; ++y)
            std::fill_n(line(y), width, 0xff000000u);
        return;
    }
    const char* bytes = rowBytes.constData() + tile.value;

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
    case Form::PictureRgb:
    case Form::PictureArgb: {
        [[maybe_unused]] const bool decoded =
            PictureTileCodec::decode(QByteArrayView(bytes, tile.length), line(0), bytesPerLine / 4,
                                     width, height, tile.form == Form::PictureRgb);
        Q_ASSERT(decoded);
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
        const QByteArray rowBytes = m_rows->row(row);
        for (int index = row * tileColumns(); index < (row + 1) * tileColumns(); ++index) {
            const QRect rect = tileRect(index);
            decodeTile(index, rowBytes,
                       bits + rect.top() * bytesPerLine + qsizetype(rect.left()) * 4, bytesPerLine);
        }
    });
}

bool CompactPage::tileKeptAlike(int index, const CompactPage& other, LazyRow& mine,
                                LazyRow& theirs) const
{
    const Tile& myTile = m_tiles[index];
    const Tile& theirTile = other.m_tiles[index];
    if (myTile.form != theirTile.form || myTile.length != theirTile.length)
        return false;
    if (myTile.form == Form::OneColour)
        return myTile.value == theirTile.value;
    if (m_rows == other.m_rows && myTile.value == theirTile.value)
        return true;
    const QByteArray& myBytes = mine.get();
    const QByteArray& theirBytes = theirs.get();
    return quint64(myTile.value) + myTile.length <= quint64(myBytes.size()) &&
           quint64(theirTile.value) + theirTile.length <= quint64(theirBytes.size()) &&
           std::memcmp(myBytes.constData() + myTile.value, theirBytes.constData() + theirTile.value,
                       myTile.length) == 0;
}

QList<QRect> CompactPage::decodeChangesInto(QImage& target, CompactPage& shown) const
{
    if (shown.m_size != m_size || shown.m_format != m_format || target.size() != m_size ||
        target.format() != m_format || !target.isDetached()) {
        decodeInto(target);
        shown = *this;
        return {QRect(QPoint(0, 0), target.size())};
    }
    uchar* bits = target.bits();
    const qsizetype bytesPerLine = target.bytesPerLine();
    QList<QList<QRect>> written(tileRows());
    ParallelLoop::run(tileRows(), [&](int row) {
        // A row's bytes are read only where a tile's must be compared or decoded.
        LazyRow mine{*m_rows, row}, theirs{*shown.m_rows, row};
        for (int index = row * tileColumns(); index < (row + 1) * tileColumns(); ++index) {
            if (tileKeptAlike(index, shown, mine, theirs))
                continue;
            const QRect rect = tileRect(index);
            decodeTile(index, m_tiles[index].form == Form::OneColour ? QByteArray() : mine.get(),
                       bits + rect.top() * bytesPerLine + qsizetype(rect.left()) * 4, bytesPerLine);
            QList<QRect>& rowRects = written[row];
            if (!rowRects.isEmpty() && rowRects.last().right() + 1 == rect.left())
                rowRects.last().setRight(rect.right());
            else
                rowRects.append(rect);
        }
    });
    QList<QRect> rects;
    for (const QList<QRect>& row : written)
        rects.append(row);
    shown = *this;
    return rects;
}

QRgb CompactPage::pixel(QPoint point) const
{
    Q_ASSERT(QRect(QPoint(), m_size).contains(point));
    const int index = point.y() / TileSide * tileColumns() + point.x() / TileSide;
    if (m_tiles[index].form == Form::OneColour)
        return m_tiles[index].value;
    const QRect rect = tileRect(index);
    quint32 pixels[TilePixels];
    decodeTile(index, m_rows->row(index / tileColumns()), reinterpret_cast<uchar*>(pixels),
               qsizetype(rect.width()) * 4);
    return pixels[(point.y() - rect.top()) * rect.width() + point.x() - rect.left()];
}

qsizetype CompactPage::memoryBytes() const
{
    static_assert(sizeof(Tile) == 8);
    return qsizetype(sizeof(*this)) + m_tiles.capacity() * qsizetype(sizeof(Tile)) +
           (m_rows ? qsizetype(sizeof(TileRowBytes)) + m_rows->memoryBytes() : 0);
}

bool CompactPage::isPicture() const
{
    constexpr qsizetype pictureBytes = 256 * 1024;
    return m_rows && m_rows->size() > pictureBytes;
}

void CompactPage::moveOutOfMemory(const QString& folder) const
{
    if (m_rows)
        m_rows->moveOut(folder);
}

QByteArray CompactPage::toBytes() const
{
    Q_ASSERT(!isNull());
    const qsizetype total =
        headerBytes + m_tiles.size() * tileEntryBytes + 4 * m_rows->count() + m_rows->size() + 4;
    QByteArray out;
    out.reserve(total);
    out.append(byteFormMagic, 4);
    appendLe32(out, byteFormVersion);
    appendLe32(out, quint32(m_size.width()));
    appendLe32(out, quint32(m_size.height()));
    appendLe32(out, quint32(m_format));
    for (const Tile& tile : m_tiles) {
        out.append(char(tile.form));
        appendLe32(out, tile.value);
        appendLe32(out, tile.length);
    }
    for (int row = 0; row < m_rows->count(); ++row) {
        const QByteArray bytes = m_rows->row(row);
        appendLe32(out, quint32(bytes.size()));
        out.append(bytes);
    }
    appendLe32(out, crcOf(out));
    return out;
}

std::optional<CompactPage> CompactPage::fromBytes(QByteArrayView bytes, QSize maxSize)
{
    if (bytes.size() < headerBytes + 4 || std::memcmp(bytes.data(), byteFormMagic, 4) != 0)
        return std::nullopt;
    const QByteArrayView body = bytes.first(bytes.size() - 4);
    if (crcOf(body) != qFromLittleEndian<quint32>(bytes.data() + body.size()))
        return std::nullopt;
    ByteReader reader(body);
    reader.take(4);
    const quint32 version = reader.le32();
    const quint32 width = reader.le32(), height = reader.le32(), format = reader.le32();
    if (version != byteFormVersion || width < 1 || height < 1 || width > quint32(maxSize.width()) ||
        height > quint32(maxSize.height()) || !isKept32(QImage::Format(format)))
        return std::nullopt;

    CompactPage page;
    page.m_size = QSize(int(width), int(height));
    page.m_format = QImage::Format(format);
    const qsizetype tileCount = qsizetype(page.tileColumns()) * page.tileRows();
    if (!reader.has(tileCount * tileEntryBytes))
        return std::nullopt;
    page.m_tiles.reserve(tileCount);
    for (qsizetype index = 0; index < tileCount; ++index) {
        const quint8 form = reader.byte();
        const quint32 value = reader.le32(), length = reader.le32();
        const QRect rect = page.tileRect(int(index));
        const quint32 pixels = quint32(rect.width() * rect.height());
        Tile tile;
        tile.value = value;
        switch (Form(form)) {
        case Form::OneColour:
            if (length != 0)
                return std::nullopt;
            break;
        case Form::StoredRgb:
        case Form::StoredArgb:
            if (length != pixels * (Form(form) == Form::StoredRgb ? 3 : 4))
                return std::nullopt;
            break;
        case Form::Lz4Rgb:
        case Form::Lz4Argb:
            if (length < 1 || length > quint32(LZ4_COMPRESSBOUND(TilePixels * 4)))
                return std::nullopt;
            break;
        case Form::PictureRgb:
        case Form::PictureArgb:
            if (length < 1 || length > pixels * (Form(form) == Form::PictureRgb ? 3 : 4))
                return std::nullopt;
            break;
        default:
            return std::nullopt;
        }
        tile.form = Form(form);
        tile.length = length;
        page.m_tiles.append(tile);
    }
    QList<QByteArray> rows;
    rows.reserve(page.tileRows());
    for (int row = 0; row < page.tileRows(); ++row) {
        if (!reader.has(4))
            return std::nullopt;
        const quint32 length = reader.le32();
        if (!reader.has(length))
            return std::nullopt;
        rows.append(reader.take(length).toByteArray());
    }
    if (reader.at() != body.size())
        return std::nullopt;

    // Every tile's bytes lie within its row, and each compressed tile gives its pixels exactly.
    std::atomic<bool> whole = true;
    ParallelLoop::run(page.tileRows(), [&](int row) {
        char pixels[TilePixels * 4];
        quint32 picture[TilePixels];
        const QByteArray& rowBytes = rows[row];
        for (int index = row * page.tileColumns(); index < (row + 1) * page.tileColumns();
             ++index) {
            const Tile& tile = page.m_tiles[index];
            if (tile.form == Form::OneColour)
                continue;
            if (quint64(tile.value) + tile.length > quint64(rowBytes.size())) {
                whole = false;
                return;
            }
            if (tile.form == Form::Lz4Rgb || tile.form == Form::Lz4Argb) {
                const QRect rect = page.tileRect(index);
                const int expected =
                    rect.width() * rect.height() * (tile.form == Form::Lz4Rgb ? 3 : 4);
                if (LZ4_decompress_safe(rowBytes.constData() + tile.value, pixels, int(tile.length),
                                        expected) != expected) {
                    whole = false;
                    return;
                }
            }
            if (tile.form == Form::PictureRgb || tile.form == Form::PictureArgb) {
                const QRect rect = page.tileRect(index);
                if (!PictureTileCodec::decode(
                        QByteArrayView(rowBytes.constData() + tile.value, tile.length), picture,
                        rect.width(), rect.width(), rect.height(), tile.form == Form::PictureRgb)) {
                    whole = false;
                    return;
                }
            }
        }
    });
    if (!whole)
        return std::nullopt;
    page.m_rows = std::make_shared<TileRowBytes>(std::move(rows));
    return page;
}
