// The overlay's work at 1024 x 768 and 1920 x 1080, each against one full-page copy measured in
// the same run: opening over a desktop picture (the three image copies and the screen image),
// reading the real screen when an X display is there, one pen move, one release, the release of
// an erase box of 400 x 300 and a capture onto the next board page. A move touches only its
// segment, so its cost must not grow with the screen.

#include "RatioReporter.h"

#include "board/model/BoardModel.h"
#include "board/pixels/RasterCopy.h"
#include "overlay/OverlayModel.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/ScriptedPrompter.h"
#include "platform/real/Platform.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

const QSize Screens[] = {QSize(1024, 768), QSize(1920, 1080)};

std::string nameOf(QSize screen, const char* what)
{
    return std::to_string(screen.width()) + "x" + std::to_string(screen.height()) + " / " + what;
}

// The overlay opened over a desktop-like picture, writing with its pen.
struct Overlay {
    QTemporaryDir directory;
    ScriptedPrompter prompter;
    FakeClock clock;
    BoardModel board;
    OverlayModel model;
    QImage desktop;

    explicit Overlay(QSize screen)
        : board(screen, directory.path() + QLatin1Char('/'), prompter),
          model(board, directory.path() + QLatin1Char('/'), prompter, clock),
          desktop(screen, QImage::Format_RGB32)
    {
        for (int y = 0; y < screen.height(); ++y)
            for (int x = 0; x < screen.width(); ++x)
                desktop.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF));
        model.open(desktop);
    }

    void stroke(QPoint from, QPoint to)
    {
        model.press(from);
        model.move(to);
        model.release(to);
    }
};

void registerCases(Desktop* desktop)
{
    for (QSize screen : Screens) {
        benchmark::RegisterBenchmark(nameOf(screen, "full-page copy").c_str(),
                                     [screen](benchmark::State& state) {
                                         Overlay overlay(screen);
                                         QImage target(screen, QImage::Format_RGB32);
                                         for (auto _ : state)
                                             RasterCopy::copy(overlay.desktop,
                                                              overlay.desktop.rect(), target, {});
                                     })
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(nameOf(screen, "open over a picture").c_str(),
                                     [screen](benchmark::State& state) {
                                         Overlay overlay(screen);
                                         for (auto _ : state)
                                             overlay.model.open(overlay.desktop);
                                     })
            ->Unit(benchmark::kMicrosecond);
        if (desktop)
            benchmark::RegisterBenchmark(nameOf(screen, "screen read").c_str(),
                                         [desktop](benchmark::State& state) {
                                             for (auto _ : state)
                                                 benchmark::DoNotOptimize(
                                                     desktop->grabScreenWithout(nullptr));
                                         })
                ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(nameOf(screen, "pen move").c_str(), [screen](benchmark::State&
                                                                                      state) {
            Overlay overlay(screen);
            overlay.model.press(QPoint(100, 300));
            int step = 0;
            for (auto _ : state) {
                ++step;
                overlay.model.move(QPoint(100 + step % 300, 300 + (step % 7) * 3));
            }
        })->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(nameOf(screen, "release").c_str(),
                                     [screen](benchmark::State& state) {
                                         Overlay overlay(screen);
                                         for (auto _ : state) {
                                             state.PauseTiming();
                                             overlay.model.press(QPoint(300, 300));
                                             overlay.model.move(QPoint(420, 360));
                                             state.ResumeTiming();
                                             overlay.model.release(QPoint(420, 360));
                                         }
                                     })
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(nameOf(screen, "erase 400x300").c_str(),
                                     [screen](benchmark::State& state) {
                                         Overlay overlay(screen);
                                         overlay.model.chooseTool(OverlayTool::Erase);
                                         for (auto _ : state) {
                                             state.PauseTiming();
                                             overlay.model.press(QPoint(300, 300));
                                             overlay.model.move(QPoint(700, 600));
                                             state.ResumeTiming();
                                             overlay.model.release(QPoint(700, 600));
                                         }
                                     })
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(nameOf(screen, "capture to next page").c_str(),
                                     [screen](benchmark::State& state) {
                                         Overlay overlay(screen);
                                         overlay.stroke(QPoint(100, 300), QPoint(600, 400));
                                         for (auto _ : state) {
                                             state.PauseTiming();
                                             // Back on page 1 of two, so each capture turns.
                                             overlay.board.turnLeft();
                                             state.ResumeTiming();
                                             overlay.model.captureToNextPage();
                                         }
                                     })
            ->Unit(benchmark::kMicrosecond);
    }
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // The screen is read only where an X display is at hand.
    std::unique_ptr<QGuiApplication> application;
    Platform platform;
    if (qEnvironmentVariableIsSet("DISPLAY")) {
        application = std::make_unique<QGuiApplication>(argc, argv);
        platform = Platform::forThisDesktop(QString());
    }
    registerCases(platform.desktop.get());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nMicroseconds, and ratios to one full-page copy of the same screen:\n");
    for (QSize screen : Screens) {
        for (const char* what : {"open over a picture", "screen read", "pen move", "release",
                                 "erase 400x300", "capture to next page"}) {
            if (platform.desktop || std::string(what) != "screen read")
                reporter.printRatio(nameOf(screen, what), nameOf(screen, "full-page copy"));
        }
    }
    std::printf("\nA move must not grow with the screen:\n");
    reporter.printRatio(nameOf(Screens[1], "pen move"), nameOf(Screens[0], "pen move"));
    return 0;
}
