#include "app/ShutdownWatcher.h"

#include <QSocketNotifier>
#include <QThread>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

// A signal handler reaches the program only through globals: the pipe's write end, and for the
// exit handler the watcher that is running.
int signalPipe[2] = {-1, -1};
ShutdownWatcher* runningWatcher = nullptr;

// Set by the first signal: a second one ends the program at once, even when the exit steps of
// the first hang.
volatile std::sig_atomic_t signalCaught = 0;

void onSignal(int number)
{
    if (signalCaught)
        ::_exit(128 + number);
    signalCaught = 1;
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

void onBrokenPipe(int) {}

} // namespace

ShutdownWatcher::ShutdownWatcher()
{
    Q_ASSERT(!runningWatcher);
    runningWatcher = this;
    static const bool exitHandlerRegistered = std::atexit(&ShutdownWatcher::programExiting) == 0;
    Q_UNUSED(exitHandlerRegistered);
    catchSignal(SIGPIPE, onBrokenPipe);
    // Without the pipe the signals keep their default action and end the program at once.
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ShutdownWatcher::readSignals);
    for (const int number : {SIGTERM, SIGHUP, SIGINT})
        catchSignal(number, onSignal);
}

ShutdownWatcher::~ShutdownWatcher()
{
    for (const Caught& caught : std::as_const(m_caught))
        sigaction(caught.number, &caught.previous, nullptr);
    runningWatcher = nullptr;
    delete m_notifier;
    for (int& end : signalPipe) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
}

void ShutdownWatcher::catchSignal(int number, void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    Caught caught{number, {}};
    if (sigaction(number, &action, &caught.previous) == 0)
        m_caught.append(caught);
}

void ShutdownWatcher::readSignals()
{
    unsigned char numbers[16];
    while (::read(signalPipe[0], numbers, sizeof numbers) > 0) {
    }
    requestShutdown();
}

void ShutdownWatcher::requestShutdown()
{
    if (m_requested)
        return;
    m_requested = true;
    emit shutdownRequested();
}

void ShutdownWatcher::programExiting()
{
    // Reached only when exit() is called while the watcher lives: after a normal end, main has
    // returned and the watcher is gone. The steps touch windows, so only on their own thread.
    if (runningWatcher && QThread::currentThread() == runningWatcher->thread())
        runningWatcher->requestShutdown();
}
