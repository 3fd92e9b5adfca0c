// A board of 99 written pages at 1920 x 1080, driven through the board model as the board window
// drives it: strokes with the pen (press, moves, release), then a turn right to a new page, up to
// page 99; then turns left back to page 1 and right again to page 99, with a stroke now and then;
// then 20 turns left and 20 right 0.3 s apart, as a teacher turns.
// The window's backing store is filled from the screen image as paint events would. Prints the
// resident memory of the process along the way, the times of page turns and of stroke releases
// (medians and 90th percentiles), and the release time of a board of one page for comparison.
//
//   page_memory [strokes|snapshot]
//
// "strokes" writes a few strokes on each page; "snapshot" first puts a desktop picture on each
// page, as a capture from the overlay does.

#include "ResidentMemory.h"
#include "SamplePages.h"

#include "board/model/BoardModel.h"
#include "board/pixels/RasterCopy.h"
#include "platform/fakes/ScriptedPrompter.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const QSize Screen(1920, 1080);
constexpr int pacedTurnsEachWay = 20;
constexpr unsigned long pacedTurnGapMs = 300;

struct Times {
    std::vector<double> ms;
    void add(const QElapsedTimer& timer) { ms.push_back(double(timer.nsecsElapsed()) / 1e6); }
    double percentile(double p)
    {
        std::sort(ms.begin(), ms.end());
        return ms.empty() ? 0 : ms[size_t(p * double(ms.size() - 1))];
    }
    void print(const char* what)
    {
        std::printf("  %-34s median %7.3f ms   90th percentile %7.3f ms   (%zu)\n", what,
                    percentile(0.5), percentile(0.9), ms.size());
    }
};

struct Board {
    QTemporaryDir directory;
    ScriptedPrompter prompter;
    BoardModel model{Screen, directory.path() + QLatin1Char('/'), prompter};
    QImage backingStore{Screen, PageStore::pageFormat};

    Board()
    {
        model.makeCurrentPageReady();
        model.showOnWindow();
        QObject::connect(&model, &BoardModel::repaintNeeded, [this](const QRect& rect) {
            RasterCopy::copy(model.screen().image(), rect, backingStore, rect.topLeft());
        });
    }

    // A stroke of the pen across part of the board; the release is timed.
    void stroke(QRandomGenerator& random, Times& releases)
    {
        QPoint at(200 + random.bounded(1400), 100 + random.bounded(800));
        model.press(at);
        for (int step = 0; step < 80; ++step) {
            at += QPoint(random.bounded(-6, 15), random.bounded(-9, 10));
            at.setY(std::clamp(at.y(), 41, Screen.height() - 1));
            model.move(at);
        }
        QElapsedTimer timer;
        timer.start();
        model.release(at);
        releases.add(timer);
    }

    void turn(bool right, Times& times)
    {
        QElapsedTimer timer;
        timer.start();
        right ? model.turnRight() : model.turnLeft();
        times.add(timer);
    }
};

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv); // the model's text document needs one
    const bool snapshots = argc > 1 && std::strcmp(argv[1], "snapshot") == 0;
    std::printf("%d x %d, 99 pages of %s\n", Screen.width(), Screen.height(),
                snapshots ? "desktop snapshots with strokes" : "strokes");
    QList<QImage> pictures;
    if (snapshots)
        for (quint32 seed = 1; seed <= 5; ++seed)
            pictures << SamplePages::make(SamplePages::Kind::Snapshot, Screen, seed);
    const double before = residentMiB();
    QRandomGenerator random(1);
    Times singleReleases;
    {
        // A board of one page, for the release time: before the big board, which then starts
        // from the same resident memory.
        Board single;
        for (int s = 0; s < 200; ++s)
            single.stroke(random, singleReleases);
    }

    Board board;
    Times releases, newPages, turns;
    std::printf("  resident with one page: %.1f MiB (%.1f MiB before the board)\n", residentMiB(),
                before);
    for (int n = 1; n <= PageStore::maxPages; ++n) {
        if (snapshots)
            board.model.replaceCurrentPage(pictures[n % pictures.size()]);
        for (int s = 0; s < 6; ++s)
            board.stroke(random, releases);
        if (n < PageStore::maxPages)
            board.turn(true, newPages);
        if (n % 20 == 0)
            std::printf("  resident at %d pages: %.1f MiB\n", n + 1, residentMiB());
    }
    std::printf("  resident at 99 pages: %.1f MiB\n", residentMiB());

    for (int round = 0; round < 2; ++round) {
        for (int n = 98; n >= 1; --n) {
            board.turn(false, turns);
            if (n % 4 == 0)
                board.stroke(random, releases); // written on now and then before turning on
        }
        for (int n = 2; n <= 99; ++n)
            board.turn(true, turns);
    }
    std::printf("  resident after %zu turns: %.1f MiB (peak %.1f MiB)\n", turns.ms.size(),
                residentMiB(), residentMiB("VmHWM:"));

    // A teacher turns a second or so apart, not back to back as above: then the pages left are
    // kept and the next picture page decoded in the background before the next turn.
    Times pacedTurns;
    for (const bool right : {false, true})
        for (int step = 0; step < pacedTurnsEachWay; ++step) {
            QThread::msleep(pacedTurnGapMs);
            board.turn(right, pacedTurns);
            if (step % 4 == 0)
                board.stroke(random, releases);
        }

    std::printf("  resident after the paced turns: %.1f MiB\n", residentMiB());

    newPages.print("turn to a new page");
    turns.print("turn to a written page");
    pacedTurns.print("turn 0.3 s after the last");
    releases.print("release, 99-page board");
    singleReleases.print("release, one-page board");
    return 0;
}
