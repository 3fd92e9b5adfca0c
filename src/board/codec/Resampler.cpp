#include "board/codec/Resampler.h"

#include <QRgb>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Pixels are handled as four bytes in memory order; alpha is the last on a little-endian machine.
constexpr int AlphaByte = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 3 : 0;

// A pixel's four float channels; a GCC and Clang vector type, so its arithmetic is SIMD.
using Float4 = float __attribute__((vector_size(16)));

inline Float4 load(const float* channels)
{
    Float4 pixel;
    std::memcpy(&pixel, channels, sizeof pixel);
    return pixel;
}

// Cubic convolution with a = -0.5: interpolates (1 at 0, 0 at the other integers) and keeps
// more contrast than bilinear, with a slight overshoot at steps.
double keys(double d)
{
    constexpr double a = -0.5;
    if (d < 1.0)
        return ((a + 2.0) * d - (a + 3.0)) * d * d + 1.0;
    if (d < 2.0)
        return ((a * d - 5.0 * a) * d + 8.0 * a) * d - 4.0 * a;
    return 0.0;
}

// x * a / 255 on the four channels of a packed pixel at once, rounded.
inline quint32 byteMul(quint32 x, quint32 a)
{
    quint32 t = (x & 0x00ff00ffu) * a;
    t = ((t + ((t >> 8) & 0x00ff00ffu) + 0x00800080u) >> 8) & 0x00ff00ffu;
    x = ((x >> 8) & 0x00ff00ffu) * a;
    x = (x + ((x >> 8) & 0x00ff00ffu) + 0x00800080u) & 0xff00ff00u;
    return x | t;
}

// Pixel index range [first, last) touched by the span [start, start + length), within [0, limit).
// Clamped in floating point first so far-away rectangles cannot overflow an int.
void pixelSpan(double start, double length, int limit, int& first, int& last)
{
    const double bound = double(limit);
    first = int(std::floor(std::clamp(start, 0.0, bound)));
    last = int(std::ceil(std::clamp(start + length, 0.0, bound)));
}

enum class TargetKind { Rgb32, Argb32, Premultiplied };

// A shrink to a sliver reads thousands of rows per destination row; they are summed in batches
// of at most this many, which bounds the converted rows kept at once.
constexpr int RowBatch = 64;

// out = the sum over k < taps of rows[k] * weights[k] over `floats` channels, added to what out
// holds when `add`. Four pixels per step: four independent sums hide each addition's latency.
void sumRows(const std::vector<const float*>& rows, const std::vector<Float4>& weights, int taps,
             size_t floats, bool add, float* out)
{
    const Float4 zero = {0.f, 0.f, 0.f, 0.f};
    size_t i = 0;
    for (; i + 16 <= floats; i += 16) {
        Float4 sum[4];
        for (int p = 0; p < 4; ++p)
            sum[p] = add ? load(out + i + 4 * p) : zero;
        for (int k = 0; k < taps; ++k)
            for (int p = 0; p < 4; ++p)
                sum[p] += load(rows[k] + i + 4 * p) * weights[k];
        std::memcpy(out + i, sum, sizeof sum);
    }
    for (; i < floats; i += 4) {
        Float4 sum = add ? load(out + i) : zero;
        for (int k = 0; k < taps; ++k)
            sum += load(rows[k] + i) * weights[k];
        std::memcpy(out + i, &sum, sizeof sum);
    }
}

// Source-over of finished premultiplied pixels onto a target line.
void blend(quint32* line, const quint8* finished, int width, TargetKind kind)
{
    for (int x = 0; x < width; ++x) {
        quint32 pixel;
        std::memcpy(&pixel, finished + size_t(x) * 4, sizeof pixel);
        const quint32 a = qAlpha(pixel);
        if (a == 255) {
            line[x] = pixel;
            continue;
        }
        if (a == 0)
            continue;
        switch (kind) {
        case TargetKind::Rgb32:
            line[x] = pixel + byteMul(line[x] | 0xff000000u, 255 - a);
            break;
        case TargetKind::Premultiplied:
            line[x] = pixel + byteMul(line[x], 255 - a);
            break;
        case TargetKind::Argb32:
            line[x] = qUnpremultiply(pixel + byteMul(qPremultiply(line[x]), 255 - a));
            break;
        }
    }
}

} // namespace

bool Resampler::Axis::build(double destStart, double destLength, int destLimit, double sourceStart,
                            double sourceLength, int sourceLimit, Interpolation mode)
{
    if (!(destLength > 0.0) || !(sourceLength > 0.0))
        return false;
    int destLast = 0;
    pixelSpan(destStart, destLength, destLimit, destFirst, destLast);
    int sourceFirst = 0;
    int sourceLast = 0;
    pixelSpan(sourceStart, sourceLength, sourceLimit, sourceFirst, sourceLast);
    if (destFirst >= destLast || sourceFirst >= sourceLast)
        return false;
    count = destLast - destFirst;
    const int sourceHigh = sourceLast - 1;

    // Shrinking with modes 2 and 7 widens the kernel to the destination pixel's size in the
    // source, so every source pixel contributes; mode 1 keeps the point kernel and aliases.
    const double ratio = sourceLength / destLength;
    const double stretch = (mode != Interpolation::LowQuality && ratio > 1.0) ? ratio : 1.0;
    const bool cubic = mode == Interpolation::HighQualityBicubic;
    const double reach = (cubic ? 2.0 : 1.0) * stretch;
    const int maxTaps = int(std::ceil(2.0 * reach)) + 1;

    // First every pixel's weights at up to maxTaps places, then packed to the widest one.
    std::vector<float> wide(size_t(count) * maxTaps);
    std::vector<int> length(count);
    std::vector<double> raw(maxTaps);
    start.assign(count, 0);
    coverage.assign(count, 0.f);
    taps = 1;
    const double destEnd = destStart + destLength;
    for (int i = 0; i < count; ++i) {
        const int x = destFirst + i;
        const double covered = std::min(x + 1.0, destEnd) - std::max(double(x), destStart);
        coverage[i] = float(std::clamp(covered, 0.0, 1.0));

        // Source position in pixel-centre coordinates: pixel j has its centre at j.
        const double centre = sourceStart + (x + 0.5 - destStart) * ratio - 0.5;
        const int from = int(std::ceil(centre - reach));
        const int to = int(std::floor(centre + reach));
        // Taps beyond the source range clamp to its edge pixels, so the folded range is
        // contiguous: [lowest, highest].
        const int lowest = std::clamp(from, sourceFirst, sourceHigh);
        const int highest = std::clamp(to, sourceFirst, sourceHigh);
        const int span = highest - lowest + 1;
        std::fill_n(raw.begin(), span, 0.0);
        double sum = 0.0;
        for (int j = from; j <= to; ++j) {
            const double d = std::abs(j - centre) / stretch;
            const double w = cubic ? keys(d) : std::max(0.0, 1.0 - d);
            raw[std::clamp(j, sourceFirst, sourceHigh) - lowest] += w;
            sum += w;
        }
        // Normalised, so solid areas stay solid; zero weights at either end are dropped, so an
        // unscaled draw reads one pixel per tap.
        int head = 0;
        int tail = span;
        while (raw[head] == 0.0)
            ++head;
        while (raw[tail - 1] == 0.0)
            --tail;
        float* w = wide.data() + size_t(i) * maxTaps;
        for (int k = head; k < tail; ++k)
            w[k - head] = float(raw[k] / sum);
        start[i] = lowest + head;
        length[i] = tail - head;
        taps = std::max(taps, length[i]);
    }

    weights.assign(size_t(count) * taps, 0.f);
    for (int i = 0; i < count; ++i) {
        // Slide the window left where it would run past the last source pixel.
        const int first = std::min(start[i], sourceLast - taps);
        const float* w = wide.data() + size_t(i) * maxTaps;
        std::copy(w, w + length[i], weights.begin() + size_t(i) * taps + (start[i] - first));
        start[i] = first;
    }
    return true;
}

Resampler::Resampler(const QRectF& destination, const QSize& targetSize, const QRectF& sourceRect,
                     const QSize& sourceSize, Interpolation mode)
{
    m_valid = m_columns.build(destination.x(), destination.width(), targetSize.width(),
                              sourceRect.x(), sourceRect.width(), sourceSize.width(), mode) &&
              m_rows.build(destination.y(), destination.height(), targetSize.height(),
                           sourceRect.y(), sourceRect.height(), sourceSize.height(), mode);
}

void Resampler::draw(QImage& target, const QImage& source) const
{
    if (!m_valid)
        return;
    const bool opaqueSource = source.format() == QImage::Format_RGB32;
    const TargetKind kind = target.format() == QImage::Format_RGB32    ? TargetKind::Rgb32
                            : target.format() == QImage::Format_ARGB32 ? TargetKind::Argb32
                                                                       : TargetKind::Premultiplied;
    const int width = m_columns.count;
    const int columnTaps = m_columns.taps;
    const int rowTaps = m_rows.taps;
    const auto [lowest, highest] =
        std::minmax_element(m_columns.start.begin(), m_columns.start.end());
    const int columnLow = *lowest;
    const int span = *highest + columnTaps - columnLow;

    // Source rows as float channels, converted once and kept while the next destination rows
    // still read them. Any `batch` + 2 consecutive rows have distinct slots, so the taps of one
    // batch never evict each other; an evicted row is simply converted again.
    const int batch = std::min(rowTaps, RowBatch);
    const int cacheSize = batch + 2;
    const size_t rowFloats = size_t(span) * 4;
    std::vector<float> cached(cacheSize * rowFloats);
    std::vector<int> cachedRow(cacheSize, -1);
    const auto floatRow = [&](int row) {
        const int slot = row % cacheSize;
        float* channels = cached.data() + slot * rowFloats;
        if (cachedRow[slot] != row) {
            const quint8* in = source.constScanLine(row) + columnLow * 4;
            for (size_t i = 0; i < rowFloats; ++i)
                channels[i] = float(in[i]);
            if (opaqueSource) // RGB32 alpha bytes are not meaningful; the picture is opaque
                for (int x = 0; x < span; ++x)
                    channels[x * 4 + AlphaByte] = 255.f;
            cachedRow[slot] = row;
        }
        return static_cast<const float*>(channels);
    };

    // Column weights spread over the four channels once, not at every tap of every row.
    std::vector<Float4> columnWeights(m_columns.weights.size());
    for (size_t i = 0; i < columnWeights.size(); ++i) {
        const float w = m_columns.weights[i];
        columnWeights[i] = Float4{w, w, w, w};
    }
    std::vector<const float*> tapRows(batch);
    std::vector<Float4> tapWeights(batch);
    std::vector<float> down(rowFloats);
    std::vector<float> across(size_t(width) * 4);
    std::vector<quint8> finished(size_t(width) * 4);
    for (int y = 0; y < m_rows.count; ++y) {
        // Vertical pass: this destination row's source rows summed over the needed columns.
        bool started = false;
        for (int first = 0; first < rowTaps; first += batch) {
            int used = 0;
            for (int k = first; k < std::min(first + batch, rowTaps); ++k) {
                const float w = m_rows.weights[size_t(y) * rowTaps + k];
                if (w == 0.f)
                    continue;
                tapRows[used] = floatRow(m_rows.start[y] + k);
                tapWeights[used++] = Float4{w, w, w, w};
            }
            if (used > 0) {
                sumRows(tapRows, tapWeights, used, rowFloats, started, down.data());
                started = true;
            }
        }

        // Horizontal pass, a pixel's four channels at once. The cubic over- and undershoots, so
        // channels are clamped to 0..255 and colours to alpha: a premultiplied colour never
        // exceeds its alpha.
        const float rowCoverage = m_rows.coverage[y];
        const Float4* weights = columnWeights.data();
        float* out = across.data();
        for (int x = 0; x < width; ++x, weights += columnTaps, out += 4) {
            const float* in = down.data() + size_t(m_columns.start[x] - columnLow) * 4;
            Float4 sum = load(in) * weights[0];
            for (int k = 1; k < columnTaps; ++k)
                sum += load(in + k * 4) * weights[k];
            sum *= rowCoverage * m_columns.coverage[x];
            const Float4 zero = {0.f, 0.f, 0.f, 0.f};
            const Float4 full = {255.f, 255.f, 255.f, 255.f};
            sum = sum < zero ? zero : sum;
            sum = sum > full ? full : sum;
            const Float4 alpha = {sum[AlphaByte], sum[AlphaByte], sum[AlphaByte], sum[AlphaByte]};
            sum = sum > alpha ? alpha : sum;
            std::memcpy(out, &sum, sizeof sum);
        }
        for (size_t c = 0; c < finished.size(); ++c)
            finished[c] = quint8(int(across[c] + 0.5f));

        blend(reinterpret_cast<quint32*>(target.scanLine(m_rows.destFirst + y)) +
                  m_columns.destFirst,
              finished.data(), width, kind);
    }
}
