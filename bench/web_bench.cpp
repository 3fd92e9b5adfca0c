// The guide and a document on the real program, on an X server of 1920 x 1080 with openbox (run
// it under xvfb-run -s "-screen 0 1920x1080x24"): from the press to the page's pixels on the
// screen, for the first guide, the second guide and the first document of a program run, and
// the resident memory of the program and every process it started (the sum of VmRSS over the
// process tree) before, while the page shows and after it is closed.
//
// Presses go through the X server (XTEST), as a user's do; the clock starts once the server has
// taken the button's release (or the key that opens the document), on which the program acts, and
// stops when a pixel of the page's own background is on the screen (looked at every half
// millisecond). The times are put against the bound of 300 ms, the memory against 150 MiB, and the
// board's opening from the toolbar, measured in the same runs, stands for the machine's speed.

#include "DisplayProbe.h"
#include "ProcessTree.h"
#include "ScreenWait.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <xcb/xtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <thread>

namespace {

constexpr int runs = 3;
constexpr qint64 deadlineMs = 60000;
constexpr double boundMs = 300;
constexpr double boundMiB = 150;

// Milliseconds until `done`, looked at every half millisecond; -1 past the deadline.
double waitFor(const std::function<bool()>& done, qint64 deadline = deadlineMs)
{
    return ScreenWait::until(done, deadline, std::chrono::microseconds(500));
}

// The guide's page background, and the document's: a page of one colour.
const QColor guideBackground(0xff, 0xfd, 0xf7);
const QColor documentColour(0x3c, 0x8c, 0x28);

struct Places {
    QRect screen;
    QPoint toolbarBoard, toolbarHelp, boardLeave, boardPanel, panelOpen, panelClose, guidePage,
        guideOk, documentPage;

    explicit Places(const QRect& screen) : screen(screen)
    {
        // The toolbar 436 pixels left of the screen's right edge, the board's strip (724 wide)
        // right-aligned, the content panel at the page's left (its title bar at 0, 41), the guide
        // (792 x 516, its page at 0, 46) in the middle.
        const int toolbar = screen.right() + 1 - 436;
        const int strip = screen.right() + 1 - 724;
        const QPoint guide = screen.center() - QPoint(792 / 2, 516 / 2) + QPoint(1, 1);
        toolbarBoard = {toolbar + 19, 20};
        toolbarHelp = {toolbar + 229 + 19, 20};
        boardLeave = {screen.right() - 20, 20};
        boardPanel = {strip + 478 + 18, 30};
        panelOpen = {129 + 10, 41 + 6 + 7};
        panelClose = {343 + 9, 41 + 9};
        guidePage = guide + QPoint(6, 46 + 200);
        guideOk = guide + QPoint(353 + 40, 484 + 14);
        documentPage = {180, 350};
    }
};

struct Figures {
    QList<double> firstGuide, secondGuide, firstDocument, board;
    QList<double> before, guideShown, afterGuide, documentShown, afterDocument;
};

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? -1 : values.at(values.size() / 2);
}

double residentMiB(qint64 pid)
{
    qint64 kib = 0;
    for (qint64 process : ProcessTree::of(pid)) {
        QFile status(QStringLiteral("/proc/%1/status").arg(process));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                kib += line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return kib / 1024.0;
}

// The tree's memory once it has settled: no change of a MiB over a second.
double settledMiB(qint64 pid)
{
    double last = residentMiB(pid);
    for (int second = 0; second < 30; ++second) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const double now = residentMiB(pid);
        if (std::abs(now - last) < 1)
            return now;
        last = now;
    }
    return last;
}

class Run {
public:
    Run(DisplayProbe& probe, const Places& places, qint64 pid)
        : m_probe(probe), m_places(places), m_pid(pid)
    {
    }

    // A press and release of the left button; back once the server has taken them.
    void click(QPoint place) const
    {
        xcb_connection_t* connection = m_probe.connection();
        xcb_test_fake_input(connection, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME,
                            m_probe.desktop().root(), place.x(), place.y(), 0);
        xcb_test_fake_input(connection, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_test_fake_input(connection, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        sync();
    }
    void sync() const
    {
        std::free(xcb_get_input_focus_reply(m_probe.connection(),
                                            xcb_get_input_focus(m_probe.connection()), nullptr));
    }
    bool shows(QPoint place, const QColor& colour) const { return m_probe.pixel(place) == colour; }
    // The toolbar is back: a window of the program stands at its place.
    bool toolbarShown() const
    {
        return m_probe.windowsOf(m_pid).contains(m_probe.windowAt(m_places.toolbarHelp));
    }
    // The web view process that waits for the next page is there and has settled.
    double waitingProcess() const
    {
        if (waitFor([&] { return ProcessTree::of(m_pid).size() == 2; }) < 0)
            return -1;
        return settledMiB(m_pid);
    }

    double guide(double* shownMiB)
    {
        if (waitFor([&] { return toolbarShown(); }) < 0)
            return -1;
        click(m_places.toolbarHelp);
        const double shown = waitFor([&] { return shows(m_places.guidePage, guideBackground); });
        if (shownMiB)
            *shownMiB = settledMiB(m_pid);
        click(m_places.guideOk);
        if (waitFor([&] { return !shows(m_places.guidePage, guideBackground); }) < 0)
            return -1;
        return shown;
    }

    double board()
    {
        if (waitFor([&] { return toolbarShown(); }) < 0)
            return -1;
        click(m_places.toolbarBoard);
        const double shown = waitFor([&] {
            return m_probe.windowsOf(m_pid).contains(m_probe.windowAt(m_places.screen.center()));
        });
        return shown;
    }

    double document(const QString& path, double* shownMiB)
    {
        if (board() < 0)
            return -1;
        const QColor page = m_probe.pixel(m_places.documentPage);
        click(m_places.boardPanel);
        if (waitFor([&] { return m_probe.pixel(m_places.documentPage) != page; }) < 0)
            return -1;
        const QList<quint64> before = m_probe.windowsOf(m_pid);
        click(m_places.panelOpen);
        if (waitFor([&] { return m_probe.windowsOf(m_pid).size() > before.size(); }) < 0)
            return -1;
        // Qt's own file dialog takes a whole path typed into its name field; the window manager
        // gives it the focus.
        const quint64 dialog = m_probe.windowsOf(m_pid).first();
        if (waitFor([&] { return m_probe.focus() == dialog; }, 10000) < 0)
            return -1;
        m_probe.type(path);
        xcb_connection_t* connection = m_probe.connection();
        constexpr xcb_keycode_t returnKey = 36;
        xcb_test_fake_input(connection, XCB_KEY_PRESS, returnKey, XCB_CURRENT_TIME, XCB_NONE, 0, 0,
                            0);
        xcb_test_fake_input(connection, XCB_KEY_RELEASE, returnKey, XCB_CURRENT_TIME, XCB_NONE, 0,
                            0, 0);
        sync();
        const double shown = waitFor([&] { return shows(m_places.documentPage, documentColour); });
        if (shownMiB)
            *shownMiB = settledMiB(m_pid);
        click(m_places.panelClose);
        if (waitFor([&] { return !shows(m_places.documentPage, documentColour); }) < 0)
            return -1;
        click(m_places.boardLeave);
        return shown;
    }

private:
    DisplayProbe& m_probe;
    const Places& m_places;
    qint64 m_pid;
};

bool measureRun(DisplayProbe& probe, const Places& places, const QString& document,
                Figures& figures)
{
    for (int part = 0; part < 2; ++part) {
        QProcess program;
        program.setWorkingDirectory(QStringLiteral(ZKALTO_PROGRAM_DIR));
        program.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        program.setStandardErrorFile(QProcess::nullDevice());
        program.start(QStringLiteral(ZKALTO_PROGRAM_DIR "/zkalto"), {});
        if (!program.waitForStarted())
            return false;
        Run run(probe, places, program.processId());
        const double before = run.waitingProcess();
        bool measured = before > 0;
        if (measured && part == 0) {
            double shown = 0;
            figures.before << before;
            figures.firstGuide << run.guide(&shown);
            figures.guideShown << shown;
            figures.afterGuide << run.waitingProcess();
            figures.secondGuide << run.guide(nullptr);
            measured = figures.firstGuide.last() > 0 && figures.secondGuide.last() > 0;
        } else if (measured) {
            double shown = 0;
            figures.firstDocument << run.document(document, &shown);
            figures.documentShown << shown;
            figures.afterDocument << run.waitingProcess();
            figures.board << run.board();
            measured = figures.firstDocument.last() > 0 && figures.board.last() > 0;
        }
        program.terminate();
        program.waitForFinished(20000);
        if (!measured)
            return false;
    }
    return true;
}

void printTime(const char* what, const QList<double>& values, double reference)
{
    const double ms = median(values);
    std::printf("%-34s %7.1f ms   /bound %4.2f   /board %5.2f\n", what, ms, ms / boundMs,
                ms / reference);
}

void printMemory(const char* what, const QList<double>& values)
{
    const double mib = median(values);
    std::printf("%-34s %7.1f MiB  /bound %4.2f\n", what, mib, mib / boundMiB);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    DisplayProbe probe(qgetenv("DISPLAY"));
    if (!probe.isOpen()) {
        std::fprintf(stderr, "no X display: run under xvfb-run -s \"-screen 0 1920x1080x24\"\n");
        return 1;
    }
    QTemporaryDir documents;
    const QString document = documents.filePath(QStringLiteral("page.html"));
    QFile page(document);
    if (!page.open(QIODevice::WriteOnly) ||
        page.write("<html><body style=\"background: #3c8c28\"></body></html>") < 0)
        return 1;
    page.close();
    QProcess windowManager;
    windowManager.start(QStringLiteral("openbox"), {});
    if (!windowManager.waitForStarted() ||
        waitFor([&] { return probe.windowManagerRunning(); }) < 0)
        return 1;
    const Places places(probe.geometry(probe.desktop().root()));
    Figures figures;
    bool measured = true;
    for (int run = 0; run < runs && measured; ++run)
        measured = measureRun(probe, places, document, figures);
    windowManager.terminate();
    windowManager.waitForFinished(10000);
    if (!measured) {
        std::fprintf(stderr, "a window or page did not come within %lld s\n", deadlineMs / 1000);
        return 1;
    }
    std::printf("%dx%d, openbox, medians of %d program runs; bounds %.0f ms and %.0f MiB\n",
                places.screen.width(), places.screen.height(), runs, boundMs, boundMiB);
    const double board = median(figures.board);
    std::printf("%-34s %7.1f ms   (reference)\n", "board from the toolbar", board);
    printTime("first guide, press to pixels", figures.firstGuide, board);
    printTime("second guide, press to pixels", figures.secondGuide, board);
    printTime("first document, Return to pixels", figures.firstDocument, board);
    printMemory("memory before (process waiting)", figures.before);
    printMemory("memory while the guide shows", figures.guideShown);
    printMemory("memory after closing the guide", figures.afterGuide);
    printMemory("memory while the document shows", figures.documentShown);
    printMemory("memory after closing the document", figures.afterDocument);
    return 0;
}
