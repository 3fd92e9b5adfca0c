// A board of 99 written pages at 1920 x 1080, driven as the board window drives it: strokes with
// the pen (press, moves, release), then a turn to a new page, up to page 99; then page turns
// back and forth across all pages. Prints the resident memory of the process along the way, the
// times of page turns and of stroke releases (medians and 90th percentiles), and the release
// time of a board of one page for comparison.
//
//   page_memory [strokes|snapshot]
//
// "strokes" writes a few strokes on each page; "snapshot" first puts a desktop picture on each
// page, as a capture from the overlay does.

#include "SamplePages.h"

#include "board/pixels/RasterCopy.h"
#include "board/store/PageStore.h"
#include "board/tools/BoardTools.h"
#include "board/tools/ScreenImage.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const QSize Screen(1920, 1080);

double residentMiB(const char* field = "VmRSS:")
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(std::strlen(field))).trimmed().split(' ').first().toDouble() /
                   1024.0;
    return 0;
}

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
    ScreenImage surface{Screen};
    PageStore pages{Screen, QStringLiteral("/tmp/"), QSize(368, Screen.height() - 45)};
    BoardTools tools{pages, surface};

    Board()
    {
        pages.makeCurrentPageReady(Qt::gray);
        surface.copyFrom(pages.currentPageImage(), QRect(QPoint(), Screen));
        tools.chooseTool(ToolMode::Pen, 3, Qt::red);
    }

    // A stroke of the pen across part of the board; the release is timed.
    void stroke(QRandomGenerator& random, Times& releases)
    {
        QPoint at(200 + random.bounded(1400), 100 + random.bounded(800));
        tools.press(at);
        for (int step = 0; step < 80; ++step) {
            at += QPoint(random.bounded(-6, 15), random.bounded(-9, 10));
            at.setY(std::clamp(at.y(), 41, Screen.height() - 1));
            tools.move(at, 3);
        }
        QElapsedTimer timer;
        timer.start();
        tools.release(at, 3, Qt::red, {});
        releases.add(timer);
    }

    void show() { surface.copyFrom(pages.currentPageImage(), QRect(QPoint(), Screen)); }
};

} // namespace

int main(int argc, char** argv)
{
    const bool snapshots = argc > 1 && std::strcmp(argv[1], "snapshot") == 0;
    std::printf("%d x %d, 99 pages of %s\n", Screen.width(), Screen.height(),
                snapshots ? "desktop snapshots with strokes" : "strokes");
    QList<QImage> pictures;
    if (snapshots)
        for (quint32 seed = 1; seed <= 5; ++seed)
            pictures << SamplePages::make(SamplePages::Kind::Snapshot, Screen, seed);
    const double before = residentMiB();

    Board board;
    QRandomGenerator random(1);
    Times releases, newPages, turns;
    std::printf("  resident with one page: %.1f MiB (%.1f MiB before the board)\n", residentMiB(),
                before);
    for (int n = 1; n <= PageStore::maxPages; ++n) {
        if (snapshots) {
            const QImage& picture = pictures[n % pictures.size()];
            RasterCopy::copy(picture, picture.rect(), board.pages.currentPageImage(), QPoint());
            board.show();
        }
        for (int s = 0; s < 6; ++s)
            board.stroke(random, releases);
        if (n == PageStore::maxPages)
            break;
        QElapsedTimer timer;
        timer.start();
        board.pages.addPage(Qt::gray);
        board.show();
        newPages.add(timer);
        if (n % 20 == 0)
            std::printf("  resident at %d pages: %.1f MiB\n", n + 1, residentMiB());
    }
    std::printf("  resident at 99 pages: %.1f MiB\n", residentMiB());

    for (int turn = 0; turn < 400; ++turn) {
        const int page = turn % 2 ? random.bounded(1, 100) : board.pages.currentPage() % 99 + 1;
        QElapsedTimer timer;
        timer.start();
        board.pages.setCurrentPage(page);
        board.show();
        turns.add(timer);
        if (turn % 4 == 0)
            board.stroke(random, releases); // written on now and then before turning on
    }
    std::printf("  resident after 400 turns: %.1f MiB (peak %.1f MiB)\n", residentMiB(),
                residentMiB("VmHWM:"));

    Board single;
    Times singleReleases;
    for (int s = 0; s < 200; ++s)
        single.stroke(random, singleReleases);

    newPages.print("turn to a new page");
    turns.print("turn to a written page");
    releases.print("release, 99-page board");
    singleReleases.print("release, one-page board");
    return 0;
}
