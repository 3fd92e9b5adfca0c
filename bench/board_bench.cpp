// The board's work at 1024 x 768 and 1920 x 1080, each against one full-page copy measured in the
// same run: one pointer move of the pen (segment drawn on the window and the window repainted
// there), one release (undo snapshot and commit), a page turn (the next page drawn on the
// window), an undo, the cut of a 400 x 300 selection and one zoom step of it. A move touches only
// its segment, so its cost must not grow with the screen; a release copies the page once.

#include "RatioReporter.h"

#include "board/content/FloatingPicture.h"
#include "board/pixels/RasterCopy.h"
#include "board/tools/BoardTools.h"
#include "board/tools/ScreenImage.h"

#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

const QSize Screens[] = {QSize(1024, 768), QSize(1920, 1080)};

std::string nameOf(QSize screen, const char* what)
{
    return std::to_string(screen.width()) + "x" + std::to_string(screen.height()) + " / " + what;
}

// A board showing one page, with the window's backing store that paint events fill from the
// surface, rectangle by rectangle, as the board window does.
struct Board {
    ScreenImage surface;
    PageStore pages;
    BoardTools tools{pages, surface};
    QImage backingStore;

    explicit Board(QSize screen)
        : surface(screen), pages(screen, QStringLiteral("/tmp/"), QSize(368, screen.height() - 45)),
          backingStore(screen, PageStore::pageFormat)
    {
        pages.makeCurrentPageReady(Qt::gray);
        surface.copyFrom(pages.currentPageImage(), QRect(QPoint(), screen));
        surface.setRepaintHandler([this](const QRect& rect) {
            RasterCopy::copy(surface.image(), rect, backingStore, rect.topLeft());
        });
        tools.chooseTool(ToolMode::Pen, 2, Qt::red);
    }
};

void registerCases()
{
    for (QSize screen : Screens) {
        benchmark::RegisterBenchmark(
            nameOf(screen, "full-page copy").c_str(),
            [screen](benchmark::State& state) {
                Board board(screen);
                const QImage& page = board.pages.currentPageImage();
                for (auto _ : state)
                    RasterCopy::copy(page, page.rect(), board.pages.scratchImage(), {0, 0});
            })
            ->Unit(benchmark::kMicrosecond);

        benchmark::RegisterBenchmark(nameOf(screen, "pen move").c_str(), [screen](benchmark::State&
                                                                                      state) {
            Board board(screen);
            board.tools.press(QPoint(100, 300));
            int step = 0;
            for (auto _ : state) {
                ++step;
                // Short segments back and forth, as a hand writes.
                const QPoint point(100 + step % 300, 300 + (step % 7) * 3);
                board.tools.move(point, 2);
            }
        })->Unit(benchmark::kMicrosecond);

        benchmark::RegisterBenchmark(nameOf(screen, "release").c_str(),
                                     [screen](benchmark::State& state) {
                                         Board board(screen);
                                         for (auto _ : state) {
                                             state.PauseTiming();
                                             board.tools.press(QPoint(300, 300));
                                             board.tools.move(QPoint(420, 360), 2);
                                             state.ResumeTiming();
                                             board.tools.release(QPoint(420, 360), 2, Qt::red, {});
                                         }
                                     })
            ->Unit(benchmark::kMicrosecond);

        benchmark::RegisterBenchmark(nameOf(screen, "page turn").c_str(), [screen](benchmark::State&
                                                                                       state) {
            Board board(screen);
            board.pages.current().state = PageState::WrittenOn;
            board.pages.addPage(Qt::white);
            for (auto _ : state) {
                const int next = board.pages.currentPage() % 2 + 1;
                board.pages.setCurrentPage(next);
                board.surface.copyFrom(board.pages.currentPageImage(), QRect(QPoint(), screen));
            }
        })->Unit(benchmark::kMicrosecond);

        benchmark::RegisterBenchmark(nameOf(screen, "undo").c_str(), [screen](
                                                                         benchmark::State& state) {
            Board board(screen);
            board.tools.press(QPoint(300, 300));
            board.tools.move(QPoint(500, 400), 2);
            board.tools.release(QPoint(500, 400), 2, Qt::red, {});
            for (auto _ : state)
                board.tools.undo();
        })->Unit(benchmark::kMicrosecond);

        benchmark::RegisterBenchmark(nameOf(screen, "cut 400x300").c_str(),
                                     [screen](benchmark::State& state) {
                                         Board board(screen);
                                         FloatingPicture floating;
                                         const QPoint press(300, 300), release(700, 600);
                                         StrokeBox box = StrokeBox::at(press);
                                         box.grow(release);
                                         for (auto _ : state)
                                             floating.cut(press, release, box, board.surface,
                                                          board.pages);
                                     })
            ->Unit(benchmark::kMicrosecond);

        benchmark::RegisterBenchmark(
            nameOf(screen, "zoom step 400x300").c_str(),
            [screen](benchmark::State& state) {
                Board board(screen);
                QTemporaryDir directory;
                const QString programDirectory = directory.path() + QLatin1Char('/');
                FloatingPicture floating;
                const QPoint press(300, 300), release(700, 600);
                StrokeBox box = StrokeBox::at(press);
                box.grow(release);
                floating.cut(press, release, box, board.surface, board.pages);
                for (auto _ : state) {
                    // In and out in turn, so the size stays 400 x 300
                    // and 600 x 450.
                    floating.zoomIn(screen, programDirectory, Qt::red);
                    state.PauseTiming();
                    floating.zoomOut(screen, programDirectory, Qt::red);
                    state.ResumeTiming();
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
    registerCases();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nMicroseconds, and ratios to one full-page copy of the same screen:\n");
    for (QSize screen : Screens) {
        for (const char* what :
             {"pen move", "release", "page turn", "undo", "cut 400x300", "zoom step 400x300"})
            reporter.printRatio(nameOf(screen, what), nameOf(screen, "full-page copy"));
    }
    std::printf("\nA move must not grow with the screen:\n");
    reporter.printRatio(nameOf(Screens[1], "pen move"), nameOf(Screens[0], "pen move"));
    return 0;
}
