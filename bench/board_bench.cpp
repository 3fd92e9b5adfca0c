// The board's work at 1024 x 768 and 1920 x 1080, each against one full-page copy measured in the
// same run: one pointer move of the pen (segment drawn on the window and the window repainted
// there), one release (undo snapshot and commit), a page turn (the next page drawn on the
// window), an undo, the cut of a 400 x 300 selection and one zoom step of it, and the thumbnail
// strip's two passes over two pages: the quick stretch at each scroll step, and the smooth
// resampling at the end of a scroll gesture, from its start until both halves are drawn (it runs on
// two worker threads; the CPU column is what the board's own thread spends on it). A move touches
// only its segment, so its cost must not grow with the screen; a release copies the page once.

#include "RatioReporter.h"

#include "board/model/BoardModel.h"
#include "board/model/ThumbnailStripModel.h"
#include "board/pixels/RasterCopy.h"
#include "platform/fakes/ScriptedPrompter.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

const QSize Screens[] = {QSize(1024, 768), QSize(1920, 1080)};

std::string nameOf(QSize screen, const char* what)
{
    return std::to_string(screen.width()) + "x" + std::to_string(screen.height()) + " / " + what;
}

// A board showing one page with the pen, with the window's backing store that paint events fill
// from the screen image, rectangle by rectangle, as the board window does.
struct Board {
    QTemporaryDir directory;
    ScriptedPrompter prompter;
    BoardModel model;
    PageStore& pages = model.pages();
    QImage backingStore;

    explicit Board(QSize screen)
        : model(screen, directory.path() + QLatin1Char('/'), prompter),
          backingStore(screen, PageStore::pageFormat)
    {
        model.makeCurrentPageReady();
        model.showOnWindow();
        QObject::connect(&model, &BoardModel::repaintNeeded, [this](const QRect& rect) {
            RasterCopy::copy(model.screen().image(), rect, backingStore, rect.topLeft());
        });
    }

    // Pages 2 .. count written after the first, each in a pattern of its own; back on page 1.
    void addPages(int count)
    {
        for (int n = 1; n <= count; ++n) {
            if (n > 1)
                model.turnRight();
            QImage& page = pages.currentPageImage();
            for (int y = 0; y < page.height(); ++y)
                for (int x = 0; x < page.width(); ++x)
                    page.setPixel(x, y, qRgb((x * n) & 0xFF, (y * 3) & 0xFF, (x ^ y) & 0xFF));
            pages.current().state = PageState::WrittenOn;
        }
        model.goToPage(1);
    }

    // A range selection from press to release: the cut that leaves the picture floating.
    void select(QPoint press, QPoint release)
    {
        model.chooseTool(ToolMode::RangeSelection);
        model.press(press);
        model.move(release);
        model.release(release);
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
            board.model.press(QPoint(100, 300));
            int step = 0;
            for (auto _ : state) {
                ++step;
                // Short segments back and forth, as a hand writes.
                const QPoint point(100 + step % 300, 300 + (step % 7) * 3);
                board.model.move(point);
            }
        })->Unit(benchmark::kMicrosecond);

        benchmark::RegisterBenchmark(nameOf(screen, "release").c_str(),
                                     [screen](benchmark::State& state) {
                                         Board board(screen);
                                         for (auto _ : state) {
                                             state.PauseTiming();
                                             board.model.press(QPoint(300, 300));
                                             board.model.move(QPoint(420, 360));
                                             state.ResumeTiming();
                                             board.model.release(QPoint(420, 360));
                                         }
                                     })
            ->Unit(benchmark::kMicrosecond);

        benchmark::RegisterBenchmark(nameOf(screen, "page turn").c_str(),
                                     [screen](benchmark::State& state) {
                                         Board board(screen);
                                         board.pages.current().state = PageState::WrittenOn;
                                         board.model.turnRight();
                                         for (auto _ : state) {
                                             if (board.pages.currentPage() == 1)
                                                 board.model.turnRight();
                                             else
                                                 board.model.turnLeft();
                                         }
                                     })
            ->Unit(benchmark::kMicrosecond);

        benchmark::RegisterBenchmark(nameOf(screen, "undo").c_str(), [screen](
                                                                         benchmark::State& state) {
            Board board(screen);
            board.model.press(QPoint(300, 300));
            board.model.move(QPoint(500, 400));
            board.model.release(QPoint(500, 400));
            for (auto _ : state)
                board.model.undo();
        })->Unit(benchmark::kMicrosecond);

        benchmark::RegisterBenchmark(
            nameOf(screen, "cut 400x300").c_str(),
            [screen](benchmark::State& state) {
                Board board(screen);
                FloatingPicture floating{FloatingPicture::boardCut};
                const QPoint press(300, 300), release(700, 600);
                StrokeBox box = StrokeBox::at(press);
                box.grow(release);
                ScreenImage window(screen);
                Canvas canvas{window, board.pages.currentPageImage(), board.pages.scratchImage()};
                for (auto _ : state)
                    floating.cut(press, release, box, canvas);
            })
            ->Unit(benchmark::kMicrosecond);

        benchmark::RegisterBenchmark(nameOf(screen, "zoom step 400x300").c_str(),
                                     [screen](benchmark::State& state) {
                                         Board board(screen);
                                         board.select(QPoint(300, 300), QPoint(700, 600));
                                         for (auto _ : state) {
                                             // In and out in turn, so the size stays 400 x 300
                                             // and 600 x 450.
                                             board.model.zoomIn();
                                             state.PauseTiming();
                                             board.model.zoomOut();
                                             state.ResumeTiming();
                                         }
                                     })
            ->Unit(benchmark::kMicrosecond);

        benchmark::RegisterBenchmark(nameOf(screen, "thumbnails quick pass").c_str(),
                                     [screen](benchmark::State& state) {
                                         Board board(screen);
                                         board.addPages(3);
                                         ThumbnailStripModel thumbnails(board.model);
                                         thumbnails.open([] { return QImage(); });
                                         thumbnails.waitForWorkers();
                                         int position = 1;
                                         for (auto _ : state) {
                                             position = 3 - position;
                                             thumbnails.scrollTo(position);
                                         }
                                     })
            ->Unit(benchmark::kMicrosecond);

        benchmark::RegisterBenchmark(nameOf(screen, "thumbnails smooth pass").c_str(),
                                     [screen](benchmark::State& state) {
                                         Board board(screen);
                                         board.addPages(2);
                                         ThumbnailStripModel thumbnails(board.model);
                                         thumbnails.open([] { return QImage(); });
                                         thumbnails.waitForWorkers();
                                         QEventLoop untilDrawn;
                                         QObject::connect(&thumbnails,
                                                          &ThumbnailStripModel::smoothPassFinished,
                                                          &untilDrawn, &QEventLoop::quit);
                                         for (auto _ : state) {
                                             thumbnails.endScroll();
                                             untilDrawn.exec();
                                         }
                                     })
            ->Unit(benchmark::kMicrosecond)
            ->UseRealTime();
    }
}

} // namespace

int main(int argc, char** argv)
{
    // The smooth pass hands its halves back through the event loop.
    QCoreApplication application(argc, argv);
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
             {"pen move", "release", "page turn", "undo", "cut 400x300", "zoom step 400x300",
              "thumbnails quick pass", "thumbnails smooth pass/real_time"})
            reporter.printRatio(nameOf(screen, what), nameOf(screen, "full-page copy"));
    }
    std::printf("\nA move must not grow with the screen:\n");
    reporter.printRatio(nameOf(Screens[1], "pen move"), nameOf(Screens[0], "pen move"));
    std::printf("\nThe board's own thread during a smooth pass, to one full-page copy:\n");
    for (QSize screen : Screens)
        reporter.printCpuRatio(nameOf(screen, "thumbnails smooth pass/real_time"),
                               nameOf(screen, "full-page copy"));
    return 0;
}
