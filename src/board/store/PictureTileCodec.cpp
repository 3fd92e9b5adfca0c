#include "board/store/PictureTileCodec.h"

#include <zstd.h>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <cstdlib>
#include <limits>
#include <memory>

namespace {

// zstd's fastest level: higher ones find little more in differences that are mostly noise and
// take longer (bench/tile_codec_bench).
constexpr int ZstdLevel = 1;

// One compression and one decompression context a thread, made when first used: a context holds
// tables that every tile would otherwise set up again.
struct ZstdContexts {
    std::unique_ptr<ZSTD_CCtx, size_t (*)(ZSTD_CCtx*)> compress{ZSTD_createCCtx(), ZSTD_freeCCtx};
    std::unique_ptr<ZSTD_DCtx, size_t (*)(ZSTD_DCtx*)> decompress{ZSTD_createDCtx(), ZSTD_freeDCtx};
};

ZstdContexts& contexts()
{
    thread_local ZstdContexts threadContexts;
    return threadContexts;
}

// Byte-wise sums and differences of the four channels of two pixels, modulo 256.
constexpr quint32 Low7 = 0x7f7f7f7fu, High1 = 0x80808080u;
inline quint32 addBytes(quint32 a, quint32 b)
{
    return ((a & Low7) + (b & Low7)) ^ ((a ^ b) & High1);
}
inline quint32 subtractBytes(quint32 a, quint32 b)
{
    return ((a | High1) - (b & Low7)) ^ ((a ^ ~b) & High1);
}

// The differences R - G and B - G of a pixel go together as one symbol when both lie within
// -ChromaReach..ChromaReach, as they do in most of a picture: half as many symbols for zstd to
// decode, and its Huffman code sees how the two go together. A pair beyond that is the symbol
// Escape, its two bytes following all symbols of the tile in order.
constexpr int ChromaReach = 7, ChromaSpan = 2 * ChromaReach + 1;
constexpr uchar Escape = ChromaSpan * ChromaSpan;

// Each pair symbol's differences as a pixel's R and B bytes, G's byte 0.
struct ChromaPairs {
    quint32 pixels[Escape];
    constexpr ChromaPairs() : pixels()
    {
        for (int symbol = 0; symbol < Escape; ++symbol)
            pixels[symbol] = quint32(uchar(symbol / ChromaSpan - ChromaReach)) << 16 |
                             uchar(symbol % ChromaSpan - ChromaReach);
    }
};
constexpr ChromaPairs chromaPairs;

// The forms of a tile's code, its first byte.
enum class Form : uchar {
    Predicted, // predicted, colour differences, pairs (below)
    Plain,     // the channels as they are: planes B, G, R (and A)
};

// The plain form is tried when the predicted one takes more than this many quarter bytes a pixel:
// below that the prediction has found what it can, and trying would only cost time.
constexpr int PlainWorthTryingShare = 5;

// What the first pixel of a tile is predicted as: black, opaque in an opaque tile, so that no
// difference in an opaque tile has anything in its top byte.
inline quint32 firstPrediction(bool opaque)
{
    return opaque ? 0xff000000u : 0;
}

// Writes the differences of a tile's pixels to their predictions as planes: G, the pair symbols
// of R - G and B - G and, when not opaque, A; then the escaped pairs. Returns the bytes written.
size_t predict(const quint32* pixels, qsizetype stride, int width, int height, bool opaque,
               uchar* out)
{
    const int count = width * height;
    uchar* escaped = out + (opaque ? 2 : 3) * count;
    for (int y = 0; y < height; ++y) {
        const quint32* row = pixels + y * stride;
        uchar* planes = out + y * width;
        quint32 prediction = y ? row[-stride] : firstPrediction(opaque);
        for (int x = 0; x < width; ++x) {
            const quint32 difference = subtractBytes(row[x], prediction);
            prediction = row[x];
            const uchar g = uchar(difference >> 8);
            const int red = qint8(uchar(difference >> 16) - g), blue = qint8(uchar(difference) - g);
            planes[x] = g;
            if (std::abs(red) <= ChromaReach && std::abs(blue) <= ChromaReach) {
                planes[count + x] = uchar((red + ChromaReach) * ChromaSpan + blue + ChromaReach);
            } else {
                planes[count + x] = Escape;
                *escaped++ = uchar(red);
                *escaped++ = uchar(blue);
            }
            if (!opaque)
                planes[2 * count + x] = uchar(difference >> 24);
        }
    }
    return size_t(escaped - out);
}

// Adds a row of differences to their predictions, one pixel after the other.
inline void addFromLeft(quint32 prediction, const quint32* differences, quint32* row, int width)
{
#ifdef __SSE2__
    // One byte-wise add a pixel in a vector register: the chain from pixel to pixel is one
    // instruction long, against four for the add in a general register.
    __m128i pixel = _mm_cvtsi32_si128(int(prediction));
    for (int x = 0; x < width; ++x) {
        pixel = _mm_add_epi8(pixel, _mm_cvtsi32_si128(int(differences[x])));
        row[x] = quint32(_mm_cvtsi128_si32(pixel));
    }
#else
    for (int x = 0; x < width; ++x)
        row[x] = prediction = addBytes(prediction, differences[x]);
#endif
}

// Undoes predict() from its size bytes; false when they are not what predict() writes.
bool reconstruct(const uchar* in, size_t size, quint32* target, qsizetype stride, int width,
                 int height, bool opaque)
{
    const int count = width * height;
    const uchar* escaped = in + (opaque ? 2 : 3) * count;
    const uchar* const end = in + size;
    quint32 differences[PictureTileCodec::MaxSide];
    for (int y = 0; y < height; ++y) {
        quint32* row = target + y * stride;
        const uchar* planes = in + y * width;
        for (int x = 0; x < width; ++x) {
            const uchar symbol = planes[count + x];
            quint32 chroma;
            if (symbol < Escape) {
                chroma = chromaPairs.pixels[symbol];
            } else if (symbol == Escape && end - escaped >= 2) {
                chroma = quint32(escaped[0]) << 16 | escaped[1];
                escaped += 2;
            } else {
                return false;
            }
            // G's difference goes into all three bytes, R's and B's were kept less G's.
            const quint32 difference = addBytes(chroma, planes[x] * 0x010101u) |
                                       (opaque ? 0 : quint32(planes[2 * count + x]) << 24);
            differences[x] = difference;
        }
        addFromLeft(y ? row[-stride] : firstPrediction(opaque), differences, row, width);
    }
    return escaped == end;
}

// The tile's bytes as planes of one channel each, low byte first.
void split(const quint32* pixels, qsizetype stride, int width, int height, bool opaque, uchar* out)
{
    const int count = width * height, channels = opaque ? 3 : 4;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int channel = 0; channel < channels; ++channel)
                out[channel * count + y * width + x] =
                    uchar(pixels[y * stride + x] >> (8 * channel));
}

void join(const uchar* in, quint32* target, qsizetype stride, int width, int height, bool opaque)
{
    const int count = width * height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int i = y * width + x;
            const quint32 top = opaque ? 0xff : in[3 * count + i];
            target[y * stride + x] =
                top << 24 | quint32(in[2 * count + i]) << 16 | quint32(in[count + i]) << 8 | in[i];
        }
}

// Appends size bytes at planes to out as one zstd frame after the byte of their form; returns
// whether it fitted in limit bytes (out is as it was when not).
bool appendCompressed(Form form, const uchar* planes, size_t size, qsizetype limit, QByteArray& out)
{
    const qsizetype start = out.size();
    out.resize(start + 1 + qsizetype(ZSTD_compressBound(size)));
    out[start] = char(form);
    const size_t length =
        ZSTD_compressCCtx(contexts().compress.get(), out.data() + start + 1,
                          size_t(out.size() - start - 1), planes, size, ZstdLevel);
    const bool fitted = !ZSTD_isError(length) && qsizetype(length) + 1 <= limit;
    out.resize(fitted ? start + 1 + qsizetype(length) : start);
    return fitted;
}

} // namespace

namespace PictureTileCodec {

qsizetype encode(const quint32* pixels, qsizetype stride, int width, int height, bool opaque,
                 QByteArray& out)
{
    Q_ASSERT(width >= 1 && height >= 1 && width <= MaxSide && height <= MaxSide);
    const qsizetype start = out.size();
    const int count = width * height;
    uchar planes[MaxSide * MaxSide * 5];
    const size_t size = predict(pixels, stride, width, height, opaque, planes);
    appendCompressed(Form::Predicted, planes, size, std::numeric_limits<qsizetype>::max(), out);
    // Noise that the channels do not share (a scanner's) is doubled by the prediction and the
    // colour differences: when the predicted form is large, the channels as they are may be
    // smaller.
    const qsizetype predicted = out.size() - start;
    if (predicted > qsizetype(count) * PlainWorthTryingShare / 4) {
        split(pixels, stride, width, height, opaque, planes);
        QByteArray plain;
        if (appendCompressed(Form::Plain, planes, size_t(count) * (opaque ? 3 : 4), predicted - 1,
                             plain)) {
            out.resize(start);
            out.append(plain);
        }
    }
    return out.size() - start;
}

bool decode(QByteArrayView bytes, quint32* target, qsizetype stride, int width, int height,
            bool opaque)
{
    if (width < 1 || height < 1 || width > MaxSide || height > MaxSide || bytes.isEmpty())
        return false;
    const size_t count = size_t(width) * size_t(height);
    const QByteArrayView frame = bytes.sliced(1);
    // At most every pixel's pair escaped.
    uchar planes[MaxSide * MaxSide * 5];
    switch (Form(bytes[0])) {
    case Form::Predicted: {
        const size_t fixed = count * (opaque ? 2 : 3);
        const size_t size =
            ZSTD_decompressDCtx(contexts().decompress.get(), planes, fixed + 2 * count,
                                frame.data(), size_t(frame.size()));
        return !ZSTD_isError(size) && size >= fixed &&
               reconstruct(planes, size, target, stride, width, height, opaque);
    }
    case Form::Plain: {
        const size_t size = count * (opaque ? 3 : 4);
        if (ZSTD_decompressDCtx(contexts().decompress.get(), planes, size, frame.data(),
                                size_t(frame.size())) != size)
            return false;
        join(planes, target, stride, width, height, opaque);
        return true;
    }
    }
    return false;
}

} // namespace PictureTileCodec
