#include "board/store/PictureTileCodec.h"

#include <zstd.h>

#include <cstdlib>
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

// Byte-wise sums, differences and means of the four channels of two pixels, modulo 256.
constexpr quint32 Low7 = 0x7f7f7f7fu, High1 = 0x80808080u;
inline quint32 addBytes(quint32 a, quint32 b)
{
    return ((a & Low7) + (b & Low7)) ^ ((a ^ b) & High1);
}
inline quint32 subtractBytes(quint32 a, quint32 b)
{
    return ((a | High1) - (b & Low7)) ^ ((a ^ ~b) & High1);
}

using Prediction = PictureTileCodec::Prediction;

// The prediction of pixel x of a row from the row above (null on the first row): the first row
// is always predicted from the left.
template <Prediction Kind> inline quint32 predicted(const quint32* row, const quint32* above, int x)
{
    if (Kind == Prediction::Up && above)
        return above[x];
    if (x == 0)
        return above ? above[0] : 0;
    return row[x - 1];
}

// Writes the differences of a tile to its predictions as planes G, R - G, B - G and, when not
// opaque, A; returns the sum of the differences' sizes, which tells how well the prediction did.
template <Prediction Kind>
quint32 predict(const quint32* pixels, qsizetype stride, int width, int height, bool opaque,
                uchar* out)
{
    const int count = width * height;
    quint32 cost = 0;
    auto size = [](int difference) { return quint32(std::abs(int(qint8(difference)))); };
    for (int y = 0; y < height; ++y) {
        const quint32* row = pixels + y * stride;
        const quint32* above = y ? row - stride : nullptr;
        uchar* planes = out + y * width;
        for (int x = 0; x < width; ++x) {
            const quint32 difference = subtractBytes(row[x], predicted<Kind>(row, above, x));
            const uchar g = uchar(difference >> 8);
            const uchar r = uchar(uchar(difference >> 16) - g);
            const uchar b = uchar(uchar(difference) - g);
            planes[x] = g;
            planes[count + x] = r;
            planes[2 * count + x] = b;
            if (!opaque)
                planes[3 * count + x] = uchar(difference >> 24);
            cost += size(g) + size(r) + size(b);
        }
    }
    return cost;
}

template <Prediction Kind>
void reconstruct(const uchar* in, quint32* target, qsizetype stride, int width, int height,
                 bool opaque)
{
    const int count = width * height;
    // An opaque tile's differences have no top byte; its pixels get 0xff there.
    const quint32 top = opaque ? 0xff000000u : 0;
    quint32 differences[PictureTileCodec::MaxSide];
    for (int y = 0; y < height; ++y) {
        quint32* row = target + y * stride;
        const quint32* above = y ? row - stride : nullptr;
        const uchar* planes = in + y * width;
        // Whole rows at a time, so that the compiler makes both loops work on several pixels
        // at once where the prediction allows it.
        for (int x = 0; x < width; ++x) {
            const quint32 g = planes[x];
            const quint32 r = (planes[count + x] + g) & 0xff;
            const quint32 b = (planes[2 * count + x] + g) & 0xff;
            const quint32 a = opaque ? 0 : planes[3 * count + x];
            differences[x] = a << 24 | r << 16 | g << 8 | b;
        }
        if (Kind == Prediction::Up && above) {
            for (int x = 0; x < width; ++x)
                row[x] = addBytes(above[x], differences[x]) | top;
        } else {
            for (int x = 0; x < width; ++x)
                row[x] = addBytes(predicted<Prediction::Left>(row, above, x), differences[x]) | top;
        }
    }
}

} // namespace

namespace PictureTileCodec {

qsizetype encode(const quint32* pixels, qsizetype stride, int width, int height, bool opaque,
                 QByteArray& out, Prediction prediction)
{
    Q_ASSERT(width >= 1 && height >= 1 && width <= MaxSide && height <= MaxSide);
    const size_t size = size_t(width) * size_t(height) * (opaque ? 3 : 4);
    uchar left[MaxSide * MaxSide * 4], up[MaxSide * MaxSide * 4];
    quint32 leftCost = 0, upCost = 0;
    if (prediction != Prediction::Up)
        leftCost = predict<Prediction::Left>(pixels, stride, width, height, opaque, left);
    if (prediction != Prediction::Left)
        upCost = predict<Prediction::Up>(pixels, stride, width, height, opaque, up);
    if (prediction == Prediction::BestOfTile)
        prediction = upCost <= leftCost ? Prediction::Up : Prediction::Left;
    const uchar* planes = prediction == Prediction::Up ? up : left;

    const qsizetype start = out.size();
    out.resize(start + 1 + qsizetype(ZSTD_compressBound(size)));
    out[start] = char(prediction);
    const size_t length =
        ZSTD_compressCCtx(contexts().compress.get(), out.data() + start + 1,
                          size_t(out.size() - start - 1), planes, size, ZstdLevel);
    // Compressing into a buffer of the bound cannot fail; should it all the same, nothing is kept.
    out.resize(ZSTD_isError(length) ? start : start + 1 + qsizetype(length));
    return out.size() - start;
}

bool decode(QByteArrayView bytes, quint32* target, qsizetype stride, int width, int height,
            bool opaque)
{
    if (width < 1 || height < 1 || width > MaxSide || height > MaxSide || bytes.isEmpty())
        return false;
    const auto prediction = Prediction(bytes[0]);
    if (prediction != Prediction::Left && prediction != Prediction::Up)
        return false;
    uchar planes[MaxSide * MaxSide * 4];
    const size_t size = size_t(width) * size_t(height) * (opaque ? 3 : 4);
    if (ZSTD_decompressDCtx(contexts().decompress.get(), planes, size, bytes.data() + 1,
                            size_t(bytes.size() - 1)) != size)
        return false;
    if (prediction == Prediction::Left)
        reconstruct<Prediction::Left>(planes, target, stride, width, height, opaque);
    else
        reconstruct<Prediction::Up>(planes, target, stride, width, height, opaque);
    return true;
}

} // namespace PictureTileCodec
