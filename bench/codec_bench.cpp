// Scaled drawing in modes 1, 2 and 7 against QImage::scaled(Qt::SmoothTransformation), measured
// in the same run: the floating picture's zoom step (400 x 300 to 2.25x) and a thumbnail pass
// (a 1920 x 1080 page to half size). After Google Benchmark's own table it prints each case's
// time as a ratio to the reference of its group.

#include "board/codec/ImageCodec.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

// A page-like picture: smooth gradients, hard-edged shapes and fine stripes.
QImage picture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const bool stripe = ((x / 3) % 2) == 0 && y % 97 < 40;
            const bool box = (x / 64 + y / 48) % 5 == 0;
            line[x] = stripe ? qRgb(20, 20, 20)
                      : box  ? qRgb(200, 40, 60)
                             : qRgb((x * 255) / width, (y * 255) / height, ((x ^ y) & 0xff));
        }
    }
    return image;
}

struct Case {
    const char* group;
    QSize from;
    QSize to;
};

const Case Cases[] = {
    {"zoom 400x300 -> 900x675", QSize(400, 300), QSize(900, 675)},
    {"thumbnail 1920x1080 -> 960x540", QSize(1920, 1080), QSize(960, 540)},
};

const std::pair<Interpolation, const char*> Modes[] = {
    {Interpolation::LowQuality, "mode 1"},
    {Interpolation::HighQuality, "mode 2"},
    {Interpolation::HighQualityBicubic, "mode 7"},
};

constexpr const char* Reference = "QImage::scaled smooth";

std::string nameOf(const Case& c, const char* what) {
    return std::string(c.group) + " / " + what;
}

// Keeps every case's real time (milliseconds) for the ratio table: the median when the run has
// repetitions, which is reported after the single runs.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median")
                m_times[run.run_name.str()] = run.GetAdjustedRealTime();
    }

    void printRatios() const {
        std::printf("\nTime relative to %s in the same run (lower is faster):\n", Reference);
        for (const Case& c : Cases) {
            const auto reference = m_times.find(nameOf(c, Reference));
            if (reference == m_times.end())
                continue;
            std::printf("  %s: %s %.2f ms\n", c.group, Reference, reference->second);
            for (const auto& [mode, label] : Modes) {
                for (const std::string& name :
                     {nameOf(c, label), nameOf(c, (std::string(label) + " via tmp.bmt").c_str())}) {
                    const auto found = m_times.find(name);
                    if (found != m_times.end())
                        std::printf("    %-24s %8.2f ms  ratio %.2f\n",
                                    name.c_str() + std::strlen(c.group) + 3, found->second,
                                    found->second / reference->second);
                }
            }
        }
    }

private:
    std::map<std::string, double> m_times;
};

void registerCases(const QString& programDirectory) {
    for (const Case& c : Cases) {
        const QImage source = picture(c.from.width(), c.from.height());
        const QSize size = c.to;
        benchmark::RegisterBenchmark(nameOf(c, Reference).c_str(), [source,
                                                                    size](benchmark::State& state) {
            for (auto _ : state) {
                QImage scaled =
                    source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
                benchmark::DoNotOptimize(scaled.constBits());
            }
        })->Unit(benchmark::kMillisecond);
        for (const auto& [mode, label] : Modes) {
            benchmark::RegisterBenchmark(nameOf(c, label).c_str(), [source, size, mode = mode](
                                                                       benchmark::State& state) {
                for (auto _ : state) {
                    QImage target = ImageCodec::createBitmap(size.width(), size.height());
                    ImageCodec::drawScaled(target, QRectF(QPointF(), size), source, source.rect(),
                                           mode);
                    benchmark::DoNotOptimize(target.constBits());
                }
            })->Unit(benchmark::kMillisecond);
        }
        // The whole resize as the program does it, file round trip included.
        const std::string viaFile = std::string(Modes[2].second) + " via tmp.bmt";
        benchmark::RegisterBenchmark(
            nameOf(c, viaFile.c_str()).c_str(),
            [source, size, programDirectory](benchmark::State& state) {
                for (auto _ : state) {
                    QImage copy =
                        ImageCodec::scaledCopy(source, source.rect(), size, QRectF(QPointF(), size),
                                               Interpolation::HighQualityBicubic, programDirectory);
                    benchmark::DoNotOptimize(copy.constBits());
                }
            })
            ->Unit(benchmark::kMillisecond);
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    QTemporaryDir programDirectory;
    registerCases(programDirectory.path() + QLatin1Char('/'));
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
