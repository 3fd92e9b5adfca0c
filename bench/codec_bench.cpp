// Scaled drawing in modes 1, 2 and 7 against QImage::scaled(Qt::SmoothTransformation), measured
// in the same run: the floating picture's zoom step (400 x 300 to 2.25x) and a thumbnail pass
// (a 1920 x 1080 page to half size), plus mode 7 through the "tmp.bmt" round trip. After Google
// Benchmark's own table it prints each case's real time as a ratio to the reference of its group.

#include "RatioReporter.h"
#include "board/codec/ImageCodec.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// A page-like picture: smooth gradients, hard-edged boxes and fine stripes.
QImage picture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const bool stripe = ((x / 3) % 2) == 0 && y % 97 < 40;
            const bool box = (x / 64 + y / 48) % 5 == 0;
            line[x] = stripe ? qRgb(20, 20, 20)
                      : box  ? qRgb(200, 40, 60)
                             : qRgb((x * 255) / width, (y * 255) / height, (x ^ y) & 0xff);
        }
    }
    return image;
}

struct Case {
    std::string group;
    QSize from;
    QSize to;
};

const std::string Reference = "QImage::scaled smooth";

std::string nameOf(const std::string& group, const std::string& label)
{
    return group + " / " + label;
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    const std::vector<Case> cases = {
        {"zoom 400x300 -> 900x675", QSize(400, 300), QSize(900, 675)},
        {"thumbnail 1920x1080 -> 960x540", QSize(1920, 1080), QSize(960, 540)},
    };
    const std::vector<std::pair<std::string, Interpolation>> modes = {
        {"mode 1", Interpolation::LowQuality},
        {"mode 2", Interpolation::HighQuality},
        {"mode 7", Interpolation::HighQualityBicubic},
    };
    const std::string viaFile = "mode 7 via tmp.bmt";
    QTemporaryDir directory;
    const QString programDirectory = directory.path() + QLatin1Char('/');

    for (const Case& c : cases) {
        const QImage source = picture(c.from.width(), c.from.height());
        const QSize size = c.to;
        const QRectF whole(QPointF(), size);
        benchmark::RegisterBenchmark(nameOf(c.group, Reference).c_str(),
                                     [source, size](benchmark::State& state) {
                                         for (auto _ : state) {
                                             QImage scaled =
                                                 source.scaled(size, Qt::IgnoreAspectRatio,
                                                               Qt::SmoothTransformation);
                                             benchmark::DoNotOptimize(scaled.constBits());
                                         }
                                     })
            ->Unit(benchmark::kMillisecond);
        for (const auto& [label, mode] : modes) {
            benchmark::RegisterBenchmark(
                nameOf(c.group, label).c_str(),
                [source, size, whole, mode = mode](benchmark::State& state) {
                    for (auto _ : state) {
                        QImage target = ImageCodec::createBitmap(size.width(), size.height());
                        ImageCodec::drawScaled(target, whole, source, source.rect(), mode);
                        benchmark::DoNotOptimize(target.constBits());
                    }
                })
                ->Unit(benchmark::kMillisecond);
        }
        // The whole resize as the program does it, the file round trip included.
        benchmark::RegisterBenchmark(
            nameOf(c.group, viaFile).c_str(),
            [source, size, whole, programDirectory](benchmark::State& state) {
                for (auto _ : state) {
                    QImage copy =
                        ImageCodec::scaledCopy(source, source.rect(), size, whole,
                                               Interpolation::HighQualityBicubic, programDirectory);
                    benchmark::DoNotOptimize(copy.constBits());
                }
            })
            ->Unit(benchmark::kMillisecond);
    }

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nReal time in ms, relative to %s in the same run (lower is faster):\n",
                Reference.c_str());
    for (const Case& c : cases) {
        for (const auto& mode : modes)
            reporter.printRatio(nameOf(c.group, mode.first), nameOf(c.group, Reference));
        reporter.printRatio(nameOf(c.group, viaFile), nameOf(c.group, Reference));
    }
    benchmark::Shutdown();
    return 0;
}
