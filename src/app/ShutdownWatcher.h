#pragma once

#include <QList>
#include <QObject>

#include <csignal>

class QSocketNotifier;

// Notices when the program is being ended from outside while it runs: SIGTERM (kill, shutdown),
// SIGHUP (the session or terminal goes), SIGINT (Ctrl+C) and the loss of the X connection. Each
// comes out as shutdownRequested(), emitted once on the user-interface thread, so the program
// runs its own exit steps instead of leaving its files behind. A second signal ends the program
// at once, without them.
//
// The signal handlers only write the signal's number into a pipe that the event loop watches,
// which is all a signal handler may safely do. Qt's X11 plugin ends the program with exit() when
// its X connection breaks, from inside the event loop; the exit steps then run from an exit
// handler, on the same thread, before anything is torn down. SIGPIPE, which a write to a
// vanished X server raises, gets an empty handler: the write fails instead of killing the program
// first, and programs started later get the default action back on exec.
class ShutdownWatcher : public QObject {
    Q_OBJECT
public:
    ShutdownWatcher();
    ~ShutdownWatcher() override;
    ShutdownWatcher(const ShutdownWatcher&) = delete;
    ShutdownWatcher& operator=(const ShutdownWatcher&) = delete;

signals:
    void shutdownRequested();

private:
    struct Caught {
        int number;
        struct sigaction previous;
    };

    static void programExiting();
    void catchSignal(int number, void (*handler)(int));
    void requestShutdown();
    void readSignals();

    // The handlers this watcher installed, with the ones they replaced.
    QList<Caught> m_caught;
    QSocketNotifier* m_notifier = nullptr;
    bool m_requested = false;
};
