// "标注" on the real program, from the press to its overlay covering the screen, against "白板"
// (the board covering the screen) in the same run, on each kind of desktop:
// - an X server with openbox, when DISPLAY is set (run it under xvfb-run);
// - a sway session with XWayland and the desktop portal (the tests' Wayland desktop, which needs
//   root and its packages), where the snapshot comes from the portal.
// Presses go through the X server (XTEST), as a user's do; the clock starts once the server has
// taken the button's release, on which a button acts, and stops when the program's window
// covering the screen is mapped (looked at every half millisecond). The board's opening costs the
// same on both desktops but for the snapshot: the ratio is what the snapshot adds to the teacher's
// wait.

#include "DisplayProbe.h"
#include "ScreenWait.h"
#include "SwaySession.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>

#include <xcb/xtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

constexpr int repetitions = 10;
constexpr qint64 deadlineMs = 60000;

// The toolbar at the top of the screen, 436 pixels left of its right edge; its first button opens
// the board, its second "标注". The board's and the overlay's last button, 20 pixels in from the
// screen's top right corner, leave them.
constexpr QSize toolbarSize(343, 39);
constexpr QPoint boardButton(19, 20);
constexpr QPoint annotateButton(38 + 19, 20);

// Milliseconds until `done`, looked at every half millisecond; -1 past the deadline.
double waitFor(const std::function<bool()>& done)
{
    return ScreenWait::until(done, deadlineMs, std::chrono::microseconds(500));
}

struct Desktop {
    const char* name;
    DisplayProbe& probe;
    qint64 pid;
    QRect screen;
};

// A press and release of the left button at a place; back once the server has taken them.
void click(const Desktop& desktop, QPoint place)
{
    xcb_connection_t* connection = desktop.probe.connection();
    xcb_test_fake_input(connection, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME,
                        desktop.probe.desktop().root(), place.x(), place.y(), 0);
    xcb_test_fake_input(connection, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(connection, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

QRect toolbarOn(const QRect& screen)
{
    return QRect(QPoint(screen.right() + 1 - 436, screen.top()), toolbarSize);
}

bool hasWindow(const Desktop& desktop, const QRect& geometry)
{
    const QList<quint64> windows = desktop.probe.windowsOf(desktop.pid);
    return std::any_of(windows.cbegin(), windows.cend(),
                       [&](quint64 window) { return desktop.probe.geometry(window) == geometry; });
}

// The time from a press of `button` on the toolbar to a window covering the screen, and back
// to the toolbar through the leave button.
double opening(const Desktop& desktop, QPoint button)
{
    const QRect toolbar = toolbarOn(desktop.screen);
    if (waitFor([&] { return hasWindow(desktop, toolbar); }) < 0)
        return -1;
    click(desktop, toolbar.topLeft() + button);
    const double shown = waitFor([&] { return hasWindow(desktop, desktop.screen); });
    if (shown < 0)
        return -1;
    click(desktop, QPoint(desktop.screen.right() - 20, desktop.screen.top() + 20));
    if (waitFor([&] { return !hasWindow(desktop, desktop.screen); }) < 0)
        return -1;
    return shown;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

bool measure(const Desktop& desktop)
{
    QList<double> board;
    QList<double> annotate;
    for (int run = 0; run < repetitions; ++run) {
        board.append(opening(desktop, boardButton));
        annotate.append(opening(desktop, annotateButton));
        if (board.last() < 0 || annotate.last() < 0) {
            std::fprintf(stderr, "%s: the program did not open its window within %lld s\n",
                         desktop.name, deadlineMs / 1000);
            return false;
        }
    }
    const double boardMs = median(board);
    const double annotateMs = median(annotate);
    std::printf("%-28s 白板 %7.1f ms   标注 %7.1f ms   ratio 标注/白板 %5.2f   (medians of %d)\n",
                desktop.name, boardMs, annotateMs, annotateMs / boardMs, repetitions);
    return true;
}

bool onTheXServer()
{
    DisplayProbe probe(qgetenv("DISPLAY"));
    if (!probe.isOpen())
        return false;
    QProcess windowManager;
    windowManager.start(QStringLiteral("openbox"), {});
    const bool managed = windowManager.waitForStarted() &&
                         waitFor([&] { return probe.windowManagerRunning(); }) >= 0;
    QProcess program;
    program.setWorkingDirectory(QStringLiteral(ZKALTO_PROGRAM_DIR));
    program.start(QStringLiteral(ZKALTO_PROGRAM_DIR "/zkalto"), {});
    bool measured = false;
    if (program.waitForStarted()) {
        const Desktop desktop{managed ? "X server, openbox" : "X server", probe,
                              program.processId(), probe.geometry(probe.desktop().root())};
        measured = measure(desktop);
    }
    for (QProcess* process : {&program, &windowManager}) {
        process->terminate();
        process->waitForFinished(10000);
    }
    return measured;
}

bool onSway()
{
    SwaySession session;
    if (!session.start()) {
        std::fprintf(stderr, "the sway session does not start: %s\n", qPrintable(session.error()));
        return false;
    }
    DisplayProbe probe(session.x11Display().toLocal8Bit());
    const QString programDirectory = session.userFolder(QStringLiteral("program"));
    if (!probe.isOpen() || !QDir().mkpath(programDirectory) ||
        !session.copyForUser(QStringLiteral(ZKALTO_PROGRAM_DIR), programDirectory))
        return false;
    QProcess* program = session.startAsUser(programDirectory + QStringLiteral("/zkalto"), {},
                                            QStringLiteral("zkalto.log"), {}, programDirectory);
    bool measured = false;
    if (program->waitForStarted()) {
        const Desktop desktop{"sway, XWayland, portal", probe, program->processId(),
                              SwaySession::outputs().first().geometry};
        measured = measure(desktop);
        // What the portal itself takes, asked by a small program of the session's user.
        QList<double> portal;
        for (int run = 0; run < repetitions; ++run) {
            QElapsedTimer clock;
            clock.start();
            if (session.portalScreenshot().isNull())
                break;
            portal.append(clock.nsecsElapsed() / 1e6);
        }
        if (!portal.isEmpty())
            std::printf("%-28s the portal's screenshot alone, to a program of its own: %7.1f ms\n",
                        "", median(portal));
        program->terminate();
        program->waitForFinished(10000);
    }
    session.stop();
    return measured;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    bool measured = false;
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        measured |= onTheXServer();
    else
        std::printf("X server: not measured (DISPLAY is not set; run under xvfb-run)\n");
    if (const QString missing = SwaySession::missingProgram(); missing.isEmpty())
        measured |= onSway();
    else
        std::printf("sway: not measured (%s is not installed)\n", qPrintable(missing));
    return measured ? 0 : 1;
}
