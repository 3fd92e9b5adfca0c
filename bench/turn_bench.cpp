// The page turn as a teacher sees it: the real program on the X server of DISPLAY (run it under
// xvfb-run at 1920 x 1080), its board filled with 99 written pages by pen strokes, then turned
// left from page 99 to page 1 and right back to page 99. Each turn is timed from the click on
// "左翻页" or "右翻页" (once the server has taken the release, on which a button acts) to the new
// page's pixels on the screen: every page carries one stroke of its own in a row no other page
// writes, so the screen shows page n once row n shows ink and the row of the page left shows none.
// The screen is looked at every 0.1 ms through an X connection of the benchmark's own. Prints the
// median and the 90th percentile of the turns against the bound of 4 ms, and the same for the
// turns while the board had fewer pages, when the page was new.
//
//   xvfb-run -s "-screen 0 1920x1080x24" build/bench/turn_bench

#include "DisplayProbe.h"
#include "ScreenWait.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <xcb/xtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <thread>
#include <utility>

namespace {

constexpr int pageCount = 99;
constexpr double boundMs = 4.0;
constexpr qint64 deadlineMs = 60000;

// Where each page's stroke runs, and the column where the screen is looked at.
constexpr int strokeLeft = 300;
constexpr int strokeRight = 700;
constexpr int probeColumn = 500;
constexpr int firstRow = 80;
constexpr int rowSpacing = 9;
int rowOf(int page)
{
    return firstRow + (page - 1) * rowSpacing;
}

// Milliseconds until `done`, looked at every 0.1 ms; -1 past the deadline.
double waitFor(const std::function<bool()>& done)
{
    return ScreenWait::until(done, deadlineMs, std::chrono::microseconds(100));
}

// The toolbar stands 436 pixels left of the screen's right edge; its first button opens the
// board. The board's tool strip ends two pixels from the right edge; its page buttons are in it.
constexpr QSize toolbarSize(343, 39);
constexpr QPoint boardButton(19, 20);
constexpr int toolStripWidth = 722;
constexpr int turnLeftCentre = 516 + 15;
constexpr int turnRightCentre = 578 + 14;

struct Session {
    DisplayProbe& probe;
    qint64 pid;
    QRect screen;

    QPoint turnButton(bool right) const
    {
        const int strip = screen.right() - 1 - toolStripWidth;
        return {strip + (right ? turnRightCentre : turnLeftCentre), 20};
    }

    void fake(uint8_t type, uint8_t detail, QPoint at = {}) const
    {
        xcb_test_fake_input(probe.connection(), type, detail, XCB_CURRENT_TIME,
                            type == XCB_MOTION_NOTIFY ? probe.desktop().root() : XCB_NONE,
                            int16_t(at.x()), int16_t(at.y()), 0);
    }
    // Back once the server has taken everything sent before.
    void sync() const
    {
        xcb_connection_t* connection = probe.connection();
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }
    void click(QPoint at) const
    {
        fake(XCB_MOTION_NOTIFY, 0, at);
        fake(XCB_BUTTON_PRESS, 1);
        fake(XCB_BUTTON_RELEASE, 1);
        sync();
    }
    void stroke(int row) const
    {
        fake(XCB_MOTION_NOTIFY, 0, {strokeLeft, row});
        fake(XCB_BUTTON_PRESS, 1);
        for (int x = strokeLeft; x <= strokeRight; x += 20)
            fake(XCB_MOTION_NOTIFY, 0, {x, row});
        fake(XCB_BUTTON_RELEASE, 1);
        sync();
    }

    // Whether the screen shows page `shown` and not page `left` (0: no page left).
    bool shows(int shown, int left, QRgb background) const
    {
        const QRect column(probeColumn, rowOf(1), 1, rowOf(pageCount) - rowOf(1) + 1);
        const QImage pixels = probe.grab(column);
        if (pixels.isNull())
            return false;
        const auto inked = [&](int page) {
            return page > 0 && pixels.pixel(0, rowOf(page) - column.top()) != background;
        };
        return (shown == 0 || inked(shown)) && !inked(left);
    }
};

// The processor time the process has used, in clock ticks; -1 when it cannot be read.
qint64 processorTicks(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    // Fields 14 and 15, user and system time, after the command in parentheses.
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? fields[11].toLongLong() + fields[12].toLongLong() : -1;
}

// Whether the process has gone a quarter of a second without using the processor.
bool waitUntilIdle(qint64 pid)
{
    qint64 before = processorTicks(pid);
    return waitFor([&] {
               std::this_thread::sleep_for(std::chrono::milliseconds(250));
               const qint64 now = processorTicks(pid);
               return std::exchange(before, now) == now && now >= 0;
           }) >= 0;
}

void report(const char* what, QList<double> times)
{
    std::sort(times.begin(), times.end());
    const double median = times.at(times.size() / 2);
    const double high = times.at(times.size() * 9 / 10);
    std::printf("  %-38s median %6.2f ms  90th percentile %6.2f ms  (%lld turns)  median %s the "
                "bound of %.0f ms (%.2f of it)\n",
                what, median, high, qlonglong(times.size()), median <= boundMs ? "within" : "OVER",
                boundMs, median / boundMs);
}

bool measure(const Session& session)
{
    const QRect toolbar(QPoint(session.screen.right() + 1 - 436, session.screen.top()),
                        toolbarSize);
    const auto hasWindow = [&](const QRect& geometry) {
        const QList<quint64> windows = session.probe.windowsOf(session.pid);
        return std::any_of(windows.cbegin(), windows.cend(), [&](quint64 window) {
            return session.probe.geometry(window) == geometry;
        });
    };
    if (waitFor([&] { return hasWindow(toolbar); }) < 0)
        return false;
    // The page's colour where nothing is ever written, once the board has replaced the desktop.
    const QRect blankSpot(probeColumn, rowOf(pageCount) + 40, 1, 1);
    const QRgb desktop = session.probe.grab(blankSpot).pixel(0, 0);
    session.click(toolbar.topLeft() + boardButton);
    QRgb background = desktop;
    if (waitFor([&] {
            background = session.probe.grab(blankSpot).pixel(0, 0);
            return hasWindow(session.screen) && background != desktop &&
                   session.shows(0, 1, background);
        }) < 0)
        return false;

    QList<double> newPages;
    for (int page = 1; page <= pageCount; ++page) {
        session.stroke(rowOf(page));
        if (waitFor([&] { return session.shows(page, 0, background); }) < 0)
            return false;
        if (page == pageCount)
            break;
        session.click(session.turnButton(true));
        newPages.append(waitFor([&] { return session.shows(0, page, background); }));
        if (newPages.last() < 0)
            return false;
    }
    // The teacher has written 99 pages; the program keeps them in the background before the turns.
    if (!waitUntilIdle(session.pid))
        return false;
    QList<double> turns;
    for (const bool right : {false, true})
        for (int step = 1; step < pageCount; ++step) {
            const int from = right ? step : pageCount + 1 - step;
            const int to = right ? from + 1 : from - 1;
            session.click(session.turnButton(right));
            turns.append(waitFor([&] { return session.shows(to, from, background); }));
            if (turns.last() < 0)
                return false;
        }
    std::printf("From the click to the new page's pixels, %d x %d, %d written pages:\n",
                session.screen.width(), session.screen.height(), pageCount);
    report("turn between written pages", turns);
    report("turn to a new page", newPages);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr,
                     "DISPLAY is not set: run under xvfb-run -s \"-screen 0 1920x1080x24\"\n");
        return 1;
    }
    DisplayProbe probe(qgetenv("DISPLAY"));
    QTemporaryDir home;
    if (!probe.isOpen() || !home.isValid())
        return 1;
    // A teacher's folders of the benchmark's own, so no backup or setting of another run counts.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    for (const char* variable :
         {"XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"})
        environment.insert(QString::fromLatin1(variable),
                           home.path() + QLatin1Char('/') + QString::fromLatin1(variable));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(QStringLiteral(ZKALTO_PROGRAM_DIR));
    program.start(QStringLiteral(ZKALTO_PROGRAM_DIR "/zkalto"), {});
    bool measured = false;
    if (program.waitForStarted())
        measured = measure({probe, program.processId(), probe.geometry(probe.desktop().root())});
    if (!measured)
        std::fprintf(stderr, "the board did not show what was written or turned within %lld s\n",
                     deadlineMs / 1000);
    program.terminate();
    program.waitForFinished(10000);
    return measured ? 0 : 1;
}
