// Candidates for the tiles of a compact page that hold more than one colour, on the sample pages
// at 1920 x 1080 (strokes, photo, desktop snapshot, every pixel different) and a scanned page of
// text made here: each candidate encodes
// and decodes every such 64 x 64 tile of a page on one core, as a row of tiles does in
// CompactPage. Prints the bytes a page keeps, and encode and decode times as ratios to a memcpy of
// the whole page and to LZ4 on three bytes a pixel (the codec before PictureTileCodec), all
// measured in the same run. Every candidate's round trip is checked on every page first, and the
// bytes an ideal order-0 coder of each predictor's planes would need are printed as a bound.
//
// Candidates: LZ4 and zstd on three bytes a pixel; planes of a reversible colour transform (G,
// R - G, B - G) with a pixel predictor (left neighbour, average of left and up, or the median
// edge detector of LOCO-I), then LZ4 or zstd, in plain per-sample code; and PictureTileCodec.

#include "RatioReporter.h"
#include "SamplePages.h"

#include "board/store/PictureTileCodec.h"

#include <QRandomGenerator>

#include <lz4.h>
#include <zstd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

const QSize Screen(1920, 1080);
constexpr int Side = 64;
const std::string Memcpy = "memcpy of the page";
const std::string Lz4Rgb = "lz4 rgb";

// The tiles of a page that are not one colour, each as its own pixels in a row.
struct Tile {
    int width, height;
    std::vector<quint32> pixels;
};

std::vector<Tile> multiColourTiles(const QImage& page)
{
    std::vector<Tile> tiles;
    for (int top = 0; top < page.height(); top += Side)
        for (int left = 0; left < page.width(); left += Side) {
            Tile tile{std::min(Side, page.width() - left), std::min(Side, page.height() - top), {}};
            for (int y = 0; y < tile.height; ++y) {
                const auto* line = reinterpret_cast<const quint32*>(page.constScanLine(top + y));
                tile.pixels.insert(tile.pixels.end(), line + left, line + left + tile.width);
            }
            const quint32 first = tile.pixels.front();
            if (std::any_of(tile.pixels.begin(), tile.pixels.end(),
                            [first](quint32 p) { return p != first; }))
                tiles.push_back(std::move(tile));
        }
    return tiles;
}

using Bytes = std::vector<char>;

// A candidate's steps from a tile's pixels to bytes and back, each as one whole.
struct Candidate {
    std::string name;
    std::function<void(const Tile&, Bytes&)> encode;
    std::function<void(const Bytes&, int width, int height, quint32* out)> decode;
};

// --- entropy stages on a buffer of bytes ---

void lz4Pack(const uchar* source, int size, Bytes& out)
{
    out.resize(size_t(LZ4_compressBound(size)));
    out.resize(size_t(LZ4_compress_default(reinterpret_cast<const char*>(source), out.data(), size,
                                           int(out.size()))));
}

void lz4Unpack(const Bytes& in, uchar* out, int size)
{
    if (LZ4_decompress_safe(in.data(), reinterpret_cast<char*>(out), int(in.size()), size) != size)
        std::abort();
}

void zstdPack(const uchar* source, int size, Bytes& out, int level)
{
    thread_local ZSTD_CCtx* context = ZSTD_createCCtx();
    out.resize(ZSTD_compressBound(size_t(size)));
    const size_t length =
        ZSTD_compressCCtx(context, out.data(), out.size(), source, size_t(size), level);
    if (ZSTD_isError(length))
        std::abort();
    out.resize(length);
}

void zstdUnpack(const Bytes& in, uchar* out, int size)
{
    thread_local ZSTD_DCtx* context = ZSTD_createDCtx();
    if (ZSTD_decompressDCtx(context, out, size_t(size), in.data(), in.size()) != size_t(size))
        std::abort();
}

// --- three bytes a pixel ---

void packRgb(const Tile& tile, uchar* out)
{
    for (quint32 p : tile.pixels) {
        *out++ = uchar(p);
        *out++ = uchar(p >> 8);
        *out++ = uchar(p >> 16);
    }
}

void unpackRgb(const uchar* in, int count, quint32* out)
{
    for (int i = 0; i < count; ++i, in += 3)
        out[i] = 0xff000000u | in[0] | quint32(in[1]) << 8 | quint32(in[2]) << 16;
}

// --- colour transform and predictors on planes ---

struct Left {
    static int predict(int a, int, int) { return a; }
};
struct Average {
    static int predict(int a, int b, int) { return (a + b) >> 1; }
};
struct MedianEdge {
    static int predict(int a, int b, int c)
    {
        const int low = std::min(a, b), high = std::max(a, b);
        return c >= high ? low : c <= low ? high : a + b - c;
    }
};

// The prediction of sample x of a row from the row above: left on the first row, up at the left.
template <class Predictor> int predictAt(const int* row, const int* above, int x)
{
    if (!above)
        return x ? row[x - 1] : 0;
    if (!x)
        return above[0];
    return Predictor::predict(row[x - 1], above[x], above[x - 1]);
}

// Planes G, R - G, B - G one after the other, each sample as its difference to its prediction.
template <class Predictor> void predictPlanes(const Tile& tile, uchar* out)
{
    const int width = tile.width, count = width * tile.height;
    std::vector<int> planes[3];
    for (auto& plane : planes)
        plane.resize(size_t(count));
    for (int i = 0; i < count; ++i) {
        const int r = int(tile.pixels[i] >> 16 & 0xff), g = int(tile.pixels[i] >> 8 & 0xff),
                  b = int(tile.pixels[i] & 0xff);
        planes[0][i] = g, planes[1][i] = r - g, planes[2][i] = b - g;
    }
    for (int p = 0; p < 3; ++p)
        for (int y = 0; y < tile.height; ++y) {
            const int* row = planes[p].data() + y * width;
            const int* above = y ? row - width : nullptr;
            for (int x = 0; x < width; ++x)
                out[p * count + y * width + x] =
                    uchar(row[x] - predictAt<Predictor>(row, above, x));
        }
}

template <class Predictor>
void unpredictPlanes(const uchar* in, int width, int height, quint32* out)
{
    const int count = width * height;
    std::vector<int> planes[3];
    for (auto& plane : planes)
        plane.resize(size_t(count));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int i = y * width + x;
            int values[3];
            for (int p = 0; p < 3; ++p) {
                int* row = planes[p].data() + y * width;
                values[p] =
                    predictAt<Predictor>(row, y ? row - width : nullptr, x) + in[p * count + i];
            }
            const int g = values[0] & 0xff, r = (g + values[1]) & 0xff, b = (g + values[2]) & 0xff;
            planes[0][i] = g, planes[1][i] = r - g, planes[2][i] = b - g;
            out[i] = 0xff000000u | quint32(r) << 16 | quint32(g) << 8 | quint32(b);
        }
}

// Bits that an ideal order-0 coder of each plane of each tile would need, tables not counted.
template <class Predictor> double orderZeroBits(const std::vector<Tile>& tiles)
{
    double bits = 0;
    for (const Tile& tile : tiles) {
        const int count = int(tile.pixels.size());
        std::vector<uchar> residuals(size_t(count) * 3);
        predictPlanes<Predictor>(tile, residuals.data());
        for (int p = 0; p < 3; ++p) {
            int histogram[256] = {};
            for (int i = 0; i < count; ++i)
                ++histogram[residuals[size_t(p * count + i)]];
            for (int n : histogram)
                if (n)
                    bits -= n * std::log2(double(n) / count);
        }
    }
    return bits;
}

Candidate rgb(std::string name, void (*pack)(const uchar*, int, Bytes&))
{
    return {std::move(name),
            [pack](const Tile& tile, Bytes& out) {
                uchar bytes[Side * Side * 3];
                packRgb(tile, bytes);
                pack(bytes, int(tile.pixels.size()) * 3, out);
            },
            nullptr};
}

template <class Predictor>
Candidate planes(std::string name, void (*pack)(const uchar*, int, Bytes&),
                 void (*unpack)(const Bytes&, uchar*, int))
{
    return {std::move(name),
            [pack](const Tile& tile, Bytes& out) {
                uchar bytes[Side * Side * 3];
                predictPlanes<Predictor>(tile, bytes);
                pack(bytes, int(tile.pixels.size()) * 3, out);
            },
            [unpack](const Bytes& in, int width, int height, quint32* out) {
                uchar bytes[Side * Side * 3];
                unpack(in, bytes, width * height * 3);
                unpredictPlanes<Predictor>(bytes, width, height, out);
            }};
}

std::vector<Candidate> candidates()
{
    auto lz4Decode = [](const Bytes& in, int width, int height, quint32* out) {
        uchar bytes[Side * Side * 3];
        lz4Unpack(in, bytes, width * height * 3);
        unpackRgb(bytes, width * height, out);
    };
    auto zstdDecode = [](const Bytes& in, int width, int height, quint32* out) {
        uchar bytes[Side * Side * 3];
        zstdUnpack(in, bytes, width * height * 3);
        unpackRgb(bytes, width * height, out);
    };
    auto zstd1 = [](const uchar* s, int n, Bytes& out) { zstdPack(s, n, out, 1); };
    auto zstd3 = [](const uchar* s, int n, Bytes& out) { zstdPack(s, n, out, 3); };
    std::vector<Candidate> all;
    all.push_back(rgb(Lz4Rgb, lz4Pack));
    all.back().decode = lz4Decode;
    all.push_back(rgb("zstd-1 rgb", zstd1));
    all.back().decode = zstdDecode;
    all.push_back(rgb("zstd-3 rgb", zstd3));
    all.back().decode = zstdDecode;
    all.push_back(planes<Left>("transform+left zstd-1", zstd1, zstdUnpack));
    all.push_back(planes<Average>("transform+average zstd-1", zstd1, zstdUnpack));
    all.push_back(planes<MedianEdge>("transform+median-edge lz4", lz4Pack, lz4Unpack));
    all.push_back(planes<MedianEdge>("transform+median-edge zstd-1", zstd1, zstdUnpack));
    all.push_back(planes<MedianEdge>("transform+median-edge zstd-3", zstd3, zstdUnpack));
    all.push_back(
        {"PictureTileCodec",
         [](const Tile& tile, Bytes& out) {
             QByteArray bytes;
             PictureTileCodec::encode(tile.pixels.data(), tile.width, tile.width, tile.height, true,
                                      bytes);
             out.assign(bytes.begin(), bytes.end());
         },
         [](const Bytes& in, int width, int height, quint32* out) {
             if (!PictureTileCodec::decode(QByteArrayView(in.data(), qsizetype(in.size())), out,
                                           width, width, height, true))
                 std::abort();
         }});
    return all;
}

// A scanned page of text: paper that is not quite even, a scanner's noise in each channel on its
// own, and lines of dark marks.
QImage scannedPage(QSize size)
{
    QImage page(size, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(page.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int paper = 236 + (x + 2 * y) * 8 / (size.width() + 2 * size.height());
            auto noisy = [&](int value) {
                return std::clamp(value + random.bounded(-3, 4), 0, 255);
            };
            line[x] = qRgb(noisy(paper), noisy(paper - 2), noisy(paper - 8));
        }
    }
    for (int baseline = 120; baseline < size.height() - 80; baseline += 36)
        for (int x = 160; x < size.width() - 160 - random.bounded(400); x += 14)
            if (random.bounded(6) != 0)
                for (int dy = -18; dy < 0; ++dy)
                    for (int dx = 0; dx < 11; ++dx)
                        if (random.bounded(3) == 0) {
                            const int ink = 20 + random.bounded(60);
                            page.setPixel(x + dx, baseline + dy, qRgb(ink, ink, ink + 6));
                        }
    return page;
}

struct SamplePage {
    const char* name;
    QImage image;
};

std::vector<SamplePage> samplePages()
{
    std::vector<SamplePage> pages;
    for (SamplePages::Kind kind :
         {SamplePages::Kind::Strokes, SamplePages::Kind::Photo, SamplePages::Kind::Snapshot,
          SamplePages::Kind::EveryPixelDifferent})
        pages.push_back({SamplePages::nameOf(kind), SamplePages::make(kind, Screen)});
    pages.push_back({"scan", scannedPage(Screen)});
    return pages;
}

std::string caseName(const Candidate& candidate, const SamplePage& page, const char* step)
{
    return std::string(step) + " / " + page.name + " / " + candidate.name;
}

struct PageCase {
    std::vector<Tile> tiles;
    std::vector<Bytes> encoded;
    size_t bytes = 0;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const std::vector<Candidate> all = candidates();
    // pages[kind][candidate]: every tile encoded once, checked to decode exactly.
    std::vector<std::vector<PageCase>> pages;
    const std::vector<SamplePage> samples = samplePages();
    for (const SamplePage& sample : samples) {
        const std::vector<Tile> tiles = multiColourTiles(sample.image);
        size_t pixels = 0;
        for (const Tile& tile : tiles)
            pixels += tile.pixels.size();
        std::printf("%s: %zu pixels in tiles of several colours; order-0 bound in MiB: left %.3f, "
                    "average %.3f, median edge %.3f\n",
                    sample.name, pixels, orderZeroBits<Left>(tiles) / 8 / 1048576,
                    orderZeroBits<Average>(tiles) / 8 / 1048576,
                    orderZeroBits<MedianEdge>(tiles) / 8 / 1048576);
        auto& row = pages.emplace_back();
        for (const Candidate& candidate : all) {
            PageCase& page = row.emplace_back();
            page.tiles = tiles;
            for (const Tile& tile : tiles) {
                candidate.encode(tile, page.encoded.emplace_back());
                page.bytes += page.encoded.back().size();
                std::vector<quint32> back(tile.pixels.size());
                candidate.decode(page.encoded.back(), tile.width, tile.height, back.data());
                if (back != tile.pixels) {
                    std::fprintf(stderr, "%s does not give %s back\n", candidate.name.c_str(),
                                 sample.name);
                    return 1;
                }
            }
        }
    }

    benchmark::RegisterBenchmark(Memcpy.c_str(), [](benchmark::State& state) {
        const QImage page = SamplePages::make(SamplePages::Kind::Photo, Screen);
        QImage target(Screen, page.format());
        for (auto _ : state) {
            std::memcpy(target.bits(), page.constBits(), size_t(page.sizeInBytes()));
            benchmark::ClobberMemory();
        }
    })->Unit(benchmark::kMillisecond);
    for (size_t k = 0; k < samples.size(); ++k)
        for (size_t c = 0; c < all.size(); ++c) {
            const Candidate* candidate = &all[c];
            PageCase* page = &pages[k][c];
            benchmark::RegisterBenchmark(caseName(*candidate, samples[k], "encode").c_str(),
                                         [candidate, page](benchmark::State& state) {
                                             Bytes out;
                                             for (auto _ : state)
                                                 for (const Tile& tile : page->tiles)
                                                     candidate->encode(tile, out);
                                         })
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(caseName(*candidate, samples[k], "decode").c_str(),
                                         [candidate, page](benchmark::State& state) {
                                             std::vector<quint32> out(Side * Side);
                                             for (auto _ : state)
                                                 for (size_t t = 0; t < page->tiles.size(); ++t)
                                                     candidate->decode(
                                                         page->encoded[t], page->tiles[t].width,
                                                         page->tiles[t].height, out.data());
                                         })
                ->Unit(benchmark::kMillisecond);
        }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nOne core, %dx%d; times as ratios to a memcpy of the page (%.3f ms) and to %s:\n",
                Screen.width(), Screen.height(), reporter.time(Memcpy), Lz4Rgb.c_str());
    std::printf("  %-30s %-22s %9s %9s %8s %9s %8s\n", "candidate", "page", "MiB", "encode", "/lz4",
                "decode", "/lz4");
    for (size_t k = 0; k < samples.size(); ++k)
        for (size_t c = 0; c < all.size(); ++c) {
            const double memcpyTime = reporter.time(Memcpy);
            const double encode = reporter.time(caseName(all[c], samples[k], "encode"));
            const double decode = reporter.time(caseName(all[c], samples[k], "decode"));
            const double lz4Encode = reporter.time(caseName(all[0], samples[k], "encode"));
            const double lz4Decode = reporter.time(caseName(all[0], samples[k], "decode"));
            std::printf("  %-30s %-22s %9.3f %9.2f %8.2f %9.2f %8.2f\n", all[c].name.c_str(),
                        samples[k].name, double(pages[k][c].bytes) / 1048576.0, encode / memcpyTime,
                        encode / lz4Encode, decode / memcpyTime, decode / lz4Decode);
        }
    return 0;
}
