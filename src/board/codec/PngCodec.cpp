#include "board/codec/PngCodec.h"

#include "board/codec/ImageCodec.h"
#include "board/pixels/ParallelLoop.h"
#include "files/FileWrite.h"
#include "files/RegularFile.h"

#include <QtEndian>

#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace {

constexpr uchar Signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
// Rows pass through the filters and the deflater in blocks of about this many bytes, which stay
// in the cache between the two.
constexpr qsizetype BlockBytes = 256 * 1024;

enum ColourType { Grey = 0, Rgb = 2, Palette = 3, GreyAlpha = 4, Rgba = 6 };

quint32 crcOf(const uchar* data, qsizetype size)
{
    return crc32_gzip_refl(0, data, uint64_t(size));
}

quint32 be32(const uchar* bytes)
{
    return qFromBigEndian<quint32>(bytes);
}

void appendBe32(QByteArray& out, quint32 value)
{
    uchar bytes[4];
    qToBigEndian(value, bytes);
    out.append(reinterpret_cast<const char*>(bytes), 4);
}

void appendChunk(QByteArray& out, const char* type, const uchar* data, qsizetype size)
{
    appendBe32(out, quint32(size));
    const qsizetype start = out.size();
    out.append(type, 4);
    out.append(reinterpret_cast<const char*>(data), size);
    appendBe32(out, crcOf(reinterpret_cast<const uchar*>(out.constData()) + start, size + 4));
}

// ---- writing ----

// Up to 256 colours found by hashing, each with its index in order of first appearance.
class ColourTable {
public:
    // The colour's index, added when new; -1 when the table is full and the colour is not in it.
    int indexOf(quint32 colour)
    {
        quint32 slot = (colour * 0x9E3779B1u) >> (32 - SlotBits);
        while (m_index[slot] != 0) {
            if (m_keys[slot] == colour)
                return m_index[slot] - 1;
            slot = (slot + 1) & (Slots - 1);
        }
        if (m_colours.size() == 256)
            return -1;
        m_keys[slot] = colour;
        m_colours.push_back(colour);
        m_index[slot] = quint16(m_colours.size());
        return int(m_colours.size()) - 1;
    }
    const std::vector<quint32>& colours() const { return m_colours; }

private:
    static constexpr int SlotBits = 10, Slots = 1 << SlotBits;
    quint32 m_keys[Slots];
    quint16 m_index[Slots] = {}; // index + 1; 0 marks a free slot
    std::vector<quint32> m_colours;
};

// Pages are mostly long runs of one colour: runs are skipped eight pixels at a time.
constexpr int RunStep = 8;

// Four pixels at once (SSE2 on x86-64, whatever the compiler has elsewhere).
using Lanes = quint32 __attribute__((vector_size(16)));

// Whether the RunStep pixels from line on all equal colour (with opaqueBits set).
bool isRun(const quint32* line, quint32 colour, quint32 opaqueBits)
{
    Lanes first, second;
    std::memcpy(&first, line, sizeof first);
    std::memcpy(&second, line + 4, sizeof second);
    const Lanes differs = ((first | opaqueBits) ^ colour) | ((second | opaqueBits) ^ colour);
    quint64 halves[2];
    std::memcpy(halves, &differs, sizeof halves);
    return (halves[0] | halves[1]) == 0;
}

// Whether the picture has at most 256 colours; fills the table as it looks. Pixels are compared
// with opaqueBits set, so opaque pictures ignore their top byte.
bool fitsPalette(const QImage& image, quint32 opaqueBits, ColourTable& table)
{
    const int width = image.width(), height = image.height();
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
        quint32 last = line[0] | opaqueBits;
        if (table.indexOf(last) < 0)
            return false;
        for (int x = 1; x < width;) {
            if (x + RunStep <= width && isRun(line + x, last, opaqueBits)) {
                x += RunStep;
                continue;
            }
            const quint32 pixel = line[x++] | opaqueBits;
            if (pixel != last && table.indexOf(last = pixel) < 0)
                return false;
        }
    }
    return true;
}

bool allOpaque(const QImage& image)
{
    quint32 alpha = 0xff000000u;
    const int width = image.width(), height = image.height();
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x)
            alpha &= line[x];
    }
    return alpha == 0xff000000u;
}

// A zlib stream deflated by ISA-L at level 1, appended to a byte array.
class Deflater {
public:
    Deflater(QByteArray& out, qsizetype expected)
        : m_out(out), m_start(out.size()), m_levelBuffer(new uint8_t[ISAL_DEF_LVL1_DEFAULT])
    {
        isal_deflate_init(&m_stream);
        m_stream.level = 1;
        m_stream.level_buf = m_levelBuffer.get();
        m_stream.level_buf_size = ISAL_DEF_LVL1_DEFAULT;
        m_stream.gzip_flag = IGZIP_ZLIB;
        m_stream.flush = NO_FLUSH;
        m_out.resize(m_start + expected + 64 * 1024);
    }

    bool add(const uchar* data, qsizetype size, bool last)
    {
        m_stream.next_in = const_cast<uint8_t*>(data);
        m_stream.avail_in = uint32_t(size);
        m_stream.end_of_stream = last ? 1 : 0;
        do {
            const qsizetype written = m_start + qsizetype(m_stream.total_out);
            if (m_out.size() - written < 64 * 1024)
                m_out.resize(m_out.size() + m_out.size() / 2 + 64 * 1024);
            m_stream.next_out = reinterpret_cast<uint8_t*>(m_out.data()) + written;
            m_stream.avail_out = uint32_t(std::min<qsizetype>(m_out.size() - written, 1 << 30));
            if (isal_deflate(&m_stream) != COMP_OK)
                return false;
        } while (m_stream.avail_in > 0 || (last && m_stream.internal_state.state != ZSTATE_END));
        if (last)
            m_out.resize(m_start + qsizetype(m_stream.total_out));
        return true;
    }

private:
    QByteArray& m_out;
    qsizetype m_start;
    std::unique_ptr<uint8_t[]> m_levelBuffer;
    isal_zstream m_stream;
};

// The picture's rows, each with its filter byte: palette indices unfiltered, or RGB / RGBA bytes
// with the "up" filter (the difference to the row above; the first row's is the row itself).
class RowWriter {
public:
    RowWriter(const QImage& image, ColourTable* palette, bool alpha)
        : m_image(image), m_palette(palette), m_alpha(alpha),
          m_rowBytes(qsizetype(image.width()) * (palette ? 1
                                                 : alpha ? 4
                                                         : 3)),
          m_above(palette ? 0 : m_rowBytes, 0), m_row(m_above.size())
    {
    }
    qsizetype stride() const { return m_rowBytes + 1; }

    void write(int y, uchar* out)
    {
        const auto* line = reinterpret_cast<const quint32*>(m_image.constScanLine(y));
        const int width = m_image.width();
        if (m_palette) {
            out[0] = 0;
            ColourTable& table = *m_palette;
            const quint32 opaqueBits = m_alpha ? 0 : 0xff000000u;
            quint32 last = line[0] | opaqueBits;
            uchar index = uchar(table.indexOf(last));
            uchar* indices = out + 1;
            for (int x = 0; x < width;) {
                if (x + RunStep <= width && isRun(line + x, last, opaqueBits)) {
                    std::memset(indices + x, index, RunStep);
                    x += RunStep;
                    continue;
                }
                const quint32 pixel = line[x] | opaqueBits;
                if (pixel != last)
                    index = uchar(table.indexOf(last = pixel));
                indices[x++] = index;
            }
            return;
        }
        out[0] = 2;
        uchar* row = m_row.data();
        if (m_alpha) {
            for (int x = 0; x < width; ++x, row += 4) {
                const quint32 pixel = line[x];
                row[0] = uchar(pixel >> 16);
                row[1] = uchar(pixel >> 8);
                row[2] = uchar(pixel);
                row[3] = uchar(pixel >> 24);
            }
        } else {
            for (int x = 0; x < width; ++x, row += 3) {
                const quint32 pixel = line[x];
                row[0] = uchar(pixel >> 16);
                row[1] = uchar(pixel >> 8);
                row[2] = uchar(pixel);
            }
        }
        const uchar* current = m_row.data();
        const uchar* above = m_above.data();
        for (qsizetype i = 0; i < m_rowBytes; ++i)
            out[1 + i] = uchar(current[i] - above[i]);
        m_above.swap(m_row);
    }

private:
    const QImage& m_image;
    ColourTable* m_palette;
    bool m_alpha;
    qsizetype m_rowBytes;
    std::vector<uchar> m_above, m_row;
};

// ---- reading ----

PngPicture failed(PngStatus status)
{
    return {QImage(), status};
}

bool isType(const uchar* type, const char* name)
{
    return std::memcmp(type, name, 4) == 0;
}

struct Header {
    int width = 0;
    int height = 0;
    int depth = 0;
    int colourType = 0;
    bool interlaced = false;

    int channels() const
    {
        switch (colourType) {
        case Rgb:
            return 3;
        case GreyAlpha:
            return 2;
        case Rgba:
            return 4;
        default:
            return 1;
        }
    }
    qsizetype rowBytes() const { return (qsizetype(width) * channels() * depth + 7) / 8; }
};

bool validHeader(const Header& header, const uchar* body)
{
    if (header.width <= 0 || header.height <= 0 || body[10] != 0 || body[11] != 0 || body[12] > 1)
        return false;
    const int depth = header.depth;
    switch (header.colourType) {
    case Grey:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case Palette:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case Rgb:
    case GreyAlpha:
    case Rgba:
        return depth == 8 || depth == 16;
    default:
        return false;
    }
}

// What the chunks before the image data say about the pixels.
struct Colours {
    QRgb palette[256] = {};
    int paletteSize = 0;
    bool transparency = false; // a tRNS chunk applies
    quint16 key[3] = {};       // the transparent grey or RGB value of grey and RGB pictures
};

bool unfilter(uchar filter, uchar* row, const uchar* above, qsizetype size, int step)
{
    switch (filter) {
    case 0:
        return true;
    case 1:
        for (qsizetype i = step; i < size; ++i)
            row[i] = uchar(row[i] + row[i - step]);
        return true;
    case 2:
        for (qsizetype i = 0; i < size; ++i)
            row[i] = uchar(row[i] + above[i]);
        return true;
    case 3:
        for (qsizetype i = 0; i < step; ++i)
            row[i] = uchar(row[i] + (above[i] >> 1));
        for (qsizetype i = step; i < size; ++i)
            row[i] = uchar(row[i] + ((row[i - step] + above[i]) >> 1));
        return true;
    case 4:
        for (qsizetype i = 0; i < step; ++i)
            row[i] = uchar(row[i] + above[i]);
        for (qsizetype i = step; i < size; ++i) {
            const int a = row[i - step], b = above[i], c = above[i - step];
            const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
            row[i] = uchar(row[i] + (pa <= pb && pa <= pc ? a : pb <= pc ? b : c));
        }
        return true;
    default:
        return false;
    }
}

// Converts one unfiltered row into 32-bit pixels. Returns false for a palette index beyond the
// palette.
bool convertRow(const Header& header, const Colours& colours, const uchar* row, QRgb* out)
{
    const int width = header.width;
    const int depth = header.depth;
    const auto sample = [&](int x) {
        if (depth == 8)
            return int(row[x]);
        const int bit = x * depth;
        return (row[bit >> 3] >> (8 - depth - (bit & 7))) & ((1 << depth) - 1);
    };
    switch (header.colourType) {
    case Palette: {
        int highest = 0;
        if (depth == 8) {
            // Runs of one index, eight at a time, then single pixels.
            for (int x = 0; x < width;) {
                const uchar index = row[x];
                highest = std::max<int>(highest, index);
                const QRgb colour = colours.palette[index];
                if (x + 8 <= width) {
                    quint64 eight;
                    std::memcpy(&eight, row + x, 8);
                    if (eight == index * 0x0101010101010101ull) {
                        std::fill_n(out + x, 8, colour);
                        x += 8;
                        continue;
                    }
                }
                out[x++] = colour;
            }
        } else {
            for (int x = 0; x < width; ++x) {
                const int index = sample(x);
                highest = std::max(highest, index);
                out[x] = colours.palette[index];
            }
        }
        return highest < colours.paletteSize;
    }
    case Grey: {
        // The transparent grey becomes transparent black, as Qt's reader gives it.
        const int scale = 255 / ((1 << depth) - 1);
        for (int x = 0; x < width; ++x) {
            const int value = sample(x) * scale;
            out[x] =
                colours.transparency && sample(x) == colours.key[0] ? 0 : qRgb(value, value, value);
        }
        return true;
    }
    case Rgb:
        for (int x = 0; x < width; ++x, row += 3) {
            const bool clear = colours.transparency && row[0] == colours.key[0] &&
                               row[1] == colours.key[1] && row[2] == colours.key[2];
            out[x] = qRgba(row[0], row[1], row[2], clear ? 0 : 255);
        }
        return true;
    case GreyAlpha:
        for (int x = 0; x < width; ++x, row += 2)
            out[x] = qRgba(row[0], row[0], row[0], row[1]);
        return true;
    default: // Rgba
        for (int x = 0; x < width; ++x, row += 4)
            out[x] = qRgba(row[0], row[1], row[2], row[3]);
        return true;
    }
}

// Inflates the image data, chunk after chunk, and turns the rows into pixels.
PngPicture decodeRows(const Header& header, const Colours& colours,
                      const std::vector<QByteArrayView>& data)
{
    const bool alpha = header.colourType == GreyAlpha || header.colourType == Rgba ||
                       (header.colourType == Palette
                            ? std::any_of(colours.palette, colours.palette + colours.paletteSize,
                                          [](QRgb c) { return qAlpha(c) != 255; })
                            : colours.transparency);
    QImage image(header.width, header.height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        return failed(PngStatus::TooLarge);

    auto inflater = std::make_unique<inflate_state>();
    isal_inflate_init(inflater.get());
    inflater->crc_flag = ISAL_ZLIB;
    size_t chunk = 0;
    inflater->next_in = reinterpret_cast<uint8_t*>(const_cast<char*>(data[0].data()));
    inflater->avail_in = uint32_t(data[0].size());

    const qsizetype rowBytes = header.rowBytes();
    const qsizetype stride = rowBytes + 1;
    const int step = std::max(1, header.channels() * header.depth / 8);
    const int blockRows = int(std::clamp<qsizetype>(BlockBytes / stride, 1, header.height));
    std::vector<uchar> block(size_t(blockRows * stride));
    std::vector<uchar> above(size_t(rowBytes), 0);
    for (int y = 0; y < header.height;) {
        const int rows = std::min(blockRows, header.height - y);
        inflater->next_out = block.data();
        inflater->avail_out = uint32_t(rows * stride);
        while (inflater->avail_out > 0) {
            // Image data that ends before its last row, stops making progress or breaks the
            // deflate format is corrupt.
            if (inflater->block_state == ISAL_BLOCK_FINISH)
                return failed(PngStatus::Corrupt);
            if (inflater->avail_in == 0 && chunk + 1 < data.size()) {
                ++chunk;
                inflater->next_in =
                    reinterpret_cast<uint8_t*>(const_cast<char*>(data[chunk].data()));
                inflater->avail_in = uint32_t(data[chunk].size());
            }
            const uint32_t inBefore = inflater->avail_in, outBefore = inflater->avail_out;
            const int result = isal_inflate(inflater.get());
            if (result != ISAL_DECOMP_OK && result != ISAL_END_INPUT && result != ISAL_OUT_OVERFLOW)
                return failed(PngStatus::Corrupt);
            if (inflater->avail_in == inBefore && inflater->avail_out == outBefore &&
                inflater->block_state != ISAL_BLOCK_FINISH)
                return failed(PngStatus::Corrupt);
        }
        for (int r = 0; r < rows; ++r) {
            uchar* row = block.data() + r * stride;
            const uchar* rowAbove = r == 0 ? above.data() : row - stride + 1;
            if (!unfilter(row[0], row + 1, rowAbove, rowBytes, step) ||
                !convertRow(header, colours, row + 1,
                            reinterpret_cast<QRgb*>(image.scanLine(y + r))))
                return failed(PngStatus::Corrupt);
        }
        std::memcpy(above.data(), block.data() + (rows - 1) * stride + 1, size_t(rowBytes));
        y += rows;
    }
    return {image, PngStatus::Read};
}

} // namespace

namespace PngCodec {

QByteArray encode(const QImage& source)
{
    if (source.isNull())
        return {};
    QImage image = source;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                              : QImage::Format_RGB32);
    const bool alpha = image.format() == QImage::Format_ARGB32 && !allOpaque(image);
    auto table = std::make_unique<ColourTable>();
    const bool palette = fitsPalette(image, alpha ? 0 : 0xff000000u, *table);

    QByteArray out;
    out.append(reinterpret_cast<const char*>(Signature), 8);
    uchar header[13];
    qToBigEndian(quint32(image.width()), header);
    qToBigEndian(quint32(image.height()), header + 4);
    header[8] = 8;
    header[9] = palette ? Palette : alpha ? Rgba : Rgb;
    header[10] = header[11] = header[12] = 0; // deflate, adaptive filters, not interlaced
    appendChunk(out, "IHDR", header, 13);
    if (palette) {
        std::vector<uchar> entries, alphas;
        for (quint32 colour : table->colours()) {
            entries.insert(entries.end(),
                           {uchar(qRed(colour)), uchar(qGreen(colour)), uchar(qBlue(colour))});
            alphas.push_back(uchar(qAlpha(colour)));
        }
        appendChunk(out, "PLTE", entries.data(), qsizetype(entries.size()));
        if (alpha)
            appendChunk(out, "tRNS", alphas.data(), qsizetype(alphas.size()));
    }

    RowWriter rows(image, palette ? table.get() : nullptr, alpha);
    const qsizetype stride = rows.stride();
    const int blockRows = int(std::clamp<qsizetype>(BlockBytes / stride, 1, image.height()));
    std::vector<uchar> block(size_t(blockRows * stride));

    const qsizetype chunkStart = out.size();
    out.append("\0\0\0\0IDAT", 8);
    {
        Deflater deflater(out, stride * image.height() / 8);
        for (int y = 0; y < image.height();) {
            const int count = std::min(blockRows, image.height() - y);
            for (int r = 0; r < count; ++r)
                rows.write(y + r, block.data() + r * stride);
            y += count;
            if (!deflater.add(block.data(), count * stride, y == image.height()))
                return {};
        }
    }
    const qsizetype length = out.size() - chunkStart - 8;
    if (length > 0x7fffffff)
        return {};
    qToBigEndian(quint32(length), out.data() + chunkStart);
    appendBe32(out,
               crcOf(reinterpret_cast<const uchar*>(out.constData()) + chunkStart + 4, length + 4));
    appendChunk(out, "IEND", nullptr, 0);
    return out;
}

bool save(const QImage& image, const QString& path)
{
    const QByteArray png = encode(image);
    if (png.isEmpty())
        return false;
    return FileWrite::replace(path, png) == 0;
}

QList<bool> saveAll(const QList<PngFile>& files)
{
    std::vector<char> written(size_t(files.size()), 0);
    ParallelLoop::run(int(files.size()), [&](int i) {
        written[size_t(i)] = files[i].picture && save(files[i].picture(), files[i].path);
    });
    return QList<bool>(written.begin(), written.end());
}

PngPicture decode(QByteArrayView data, QSize bound)
{
    const auto* bytes = reinterpret_cast<const uchar*>(data.data());
    const qsizetype size = data.size();
    if (size < 8) // the start of a signature, or nothing, is a file that ends too early
        return failed(size == 0 || std::memcmp(bytes, Signature, size_t(size)) == 0
                          ? PngStatus::Truncated
                          : PngStatus::NotPng);
    if (std::memcmp(bytes, Signature, 8) != 0)
        return failed(PngStatus::NotPng);

    Header header;
    Colours colours;
    std::vector<QByteArrayView> imageData;
    bool haveHeader = false;
    qsizetype at = 8;
    for (bool ended = false; !ended;) {
        if (size - at < 12)
            return failed(PngStatus::Truncated);
        const quint32 length = be32(bytes + at);
        if (length > 0x7fffffffu)
            return failed(PngStatus::Corrupt);
        if (size - at - 12 < qsizetype(length))
            return failed(PngStatus::Truncated);
        const uchar* type = bytes + at + 4;
        const uchar* body = type + 4;
        at += 12 + qsizetype(length);
        const bool critical = (type[0] & 0x20) == 0;
        if ((critical || isType(type, "tRNS")) &&
            crcOf(type, qsizetype(length) + 4) != be32(body + length))
            return failed(PngStatus::Corrupt);

        if (!haveHeader) {
            if (!isType(type, "IHDR") || length != 13)
                return failed(PngStatus::Corrupt);
            const quint32 width = be32(body), height = be32(body + 4);
            if (width > 0x7fffffffu || height > 0x7fffffffu)
                return failed(PngStatus::Corrupt);
            header = {int(width), int(height), body[8], body[9], body[12] == 1};
            if (!validHeader(header, body))
                return failed(PngStatus::Corrupt);
            if (header.width > bound.width() || header.height > bound.height())
                return failed(PngStatus::TooLarge);
            haveHeader = true;
        } else if (isType(type, "IHDR")) {
            return failed(PngStatus::Corrupt);
        } else if (isType(type, "PLTE")) {
            if (length == 0 || length % 3 != 0 || length > 768 || !imageData.empty())
                return failed(PngStatus::Corrupt);
            if (header.colourType == Palette) {
                colours.paletteSize = std::min(int(length / 3), 1 << header.depth);
                for (int i = 0; i < colours.paletteSize; ++i)
                    colours.palette[i] = qRgb(body[3 * i], body[3 * i + 1], body[3 * i + 2]);
            }
        } else if (isType(type, "tRNS")) {
            if (header.colourType == Palette) {
                if (colours.paletteSize == 0 || int(length) > colours.paletteSize)
                    return failed(PngStatus::Corrupt);
                for (int i = 0; i < int(length); ++i)
                    colours.palette[i] = (colours.palette[i] & 0xffffffu) | quint32(body[i]) << 24;
            } else if (header.colourType == Grey || header.colourType == Rgb) {
                const int samples = header.colourType == Grey ? 1 : 3;
                if (int(length) != 2 * samples)
                    return failed(PngStatus::Corrupt);
                colours.transparency = true;
                for (int i = 0; i < samples; ++i)
                    colours.key[i] = qFromBigEndian<quint16>(body + 2 * i);
            }
        } else if (isType(type, "IDAT")) {
            imageData.emplace_back(reinterpret_cast<const char*>(body), qsizetype(length));
        } else if (isType(type, "IEND")) {
            ended = true;
        } else if (critical) {
            return failed(PngStatus::Corrupt); // a critical chunk this reader does not know
        }
    }
    if (imageData.empty() || (header.colourType == Palette && colours.paletteSize == 0))
        return failed(PngStatus::Corrupt);

    if (header.interlaced || header.depth == 16) {
        // Checked above, size included; Qt's reader decodes these rarer kinds.
        const QImage image = ImageCodec::normalised(
            QImage::fromData(QByteArray::fromRawData(data.data(), size), "PNG"));
        return image.isNull() ? failed(PngStatus::Corrupt) : PngPicture{image, PngStatus::Read};
    }
    return decodeRows(header, colours, imageData);
}

PngPicture read(const QString& path, QSize bound)
{
    // No picture within the bound needs more than its raw 16-bit RGBA samples with deflate's
    // overhead, plus room for other chunks: a larger file is not read into memory.
    const qint64 rawBytes = qint64(std::max(bound.width(), 0)) * 8 * std::max(bound.height(), 0);
    const qint64 largest = rawBytes + rawBytes / 64 + 16 * 1024 * 1024;
    // Only a regular file is read, and never opened in a way that could wait (a named pipe
    // under a lesson's file name).
    if (!RegularFile::isRegularThroughLink(path, std::numeric_limits<qint64>::max()))
        return failed(PngStatus::CannotOpen);
    if (!RegularFile::isRegularThroughLink(path, largest))
        return failed(PngStatus::TooLarge);
    const std::optional<QByteArray> bytes = RegularFile::readThroughLink(path, largest);
    if (!bytes)
        return failed(PngStatus::CannotOpen);
    return decode(*bytes, bound);
}

} // namespace PngCodec
