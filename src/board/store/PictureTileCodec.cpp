#include "board/store/PictureTileCodec.h"

#include <zstd.h>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

// What the first pixel of a tile is predicted as: black, opaque in an opaque tile, so that no
// difference in an opaque tile has anything in its top byte.
inline quint32 firstPrediction(bool opaque)
{
    return opaque ? 0xff000000u : 0;
}

// Writes the differences of a tile's pixels to their predictions as planes G, R - G, B - G and,
// when not opaque, A.
void predict(const quint32* pixels, qsizetype stride, int width, int height, bool opaque,
             uchar* out)
{
    const int count = width * height;
    for (int y = 0; y < height; ++y) {
        const quint32* row = pixels + y * stride;
        uchar* planes = out + y * width;
        quint32 prediction = y ? row[-stride] : firstPrediction(opaque);
        for (int x = 0; x < width; ++x) {
            const quint32 difference = subtractBytes(row[x], prediction);
            prediction = row[x];
            const uchar g = uchar(difference >> 8);
            planes[x] = g;
            planes[count + x] = uchar(uchar(difference >> 16) - g);
            planes[2 * count + x] = uchar(uchar(difference) - g);
            if (!opaque)
                planes[3 * count + x] = uchar(difference >> 24);
        }
    }
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

void reconstruct(const uchar* in, quint32* target, qsizetype stride, int width, int height,
                 bool opaque)
{
    const int count = width * height;
    quint32 differences[PictureTileCodec::MaxSide];
    for (int y = 0; y < height; ++y) {
        quint32* row = target + y * stride;
        const uchar* planes = in + y * width;
        // A loop of its own, so that the compiler does it for several pixels at once.
        for (int x = 0; x < width; ++x) {
            const quint32 g = planes[x];
            const quint32 r = (planes[count + x] + g) & 0xff;
            const quint32 b = (planes[2 * count + x] + g) & 0xff;
            const quint32 a = opaque ? 0 : planes[3 * count + x];
            differences[x] = a << 24 | r << 16 | g << 8 | b;
        }
        addFromLeft(y ? row[-stride] : firstPrediction(opaque), differences, row, width);
    }
}

} // namespace

namespace PictureTileCodec {

qsizetype encode(const quint32* pixels, qsizetype stride, int width, int height, bool opaque,
                 QByteArray& out)
{
    Q_ASSERT(width >= 1 && height >= 1 && width <= MaxSide && height <= MaxSide);
    uchar planes[MaxSide * MaxSide * 4];
    const size_t size = size_t(width) * size_t(height) * (opaque ? 3 : 4);
    predict(pixels, stride, width, height, opaque, planes);
    const qsizetype start = out.size();
    out.resize(start + qsizetype(ZSTD_compressBound(size)));
    const size_t length = ZSTD_compressCCtx(contexts().compress.get(), out.data() + start,
                                            size_t(out.size() - start), planes, size, ZstdLevel);
    // Compressing into a buffer of the bound cannot fail; should it all the same, nothing is kept.
    out.resize(ZSTD_isError(length) ? start : start + qsizetype(length));
    return out.size() - start;
}

bool decode(QByteArrayView bytes, quint32* target, qsizetype stride, int width, int height,
            bool opaque)
{
    if (width < 1 || height < 1 || width > MaxSide || height > MaxSide)
        return false;
    uchar planes[MaxSide * MaxSide * 4];
    const size_t size = size_t(width) * size_t(height) * (opaque ? 3 : 4);
    if (ZSTD_decompressDCtx(contexts().decompress.get(), planes, size, bytes.data(),
                            size_t(bytes.size())) != size)
        return false;
    reconstruct(planes, target, stride, width, height, opaque);
    return true;
}

} // namespace PictureTileCodec
