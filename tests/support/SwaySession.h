#pragma once

#include <QColor>
#include <QImage>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/types.h>

#include <memory>
#include <vector>

// A Wayland session as classrooms have one, for tests: sway with two outputs drawn by the CPU (a
// 1024 x 768 laptop and a 1920 x 1080 projector to its right, each in a solid colour of its own),
// XWayland, a session bus, PipeWire and the desktop portal with its wlroots backend (the
// screenshot) and its GTK backend (the access check the screenshot needs).
//
// The session's sway runs inside another one, the monitors: a headless sway whose outputs stand
// for the monitors, each showing one output of the session's sway full screen, since those
// outputs are windows there. Headless outputs can be added but never taken away; an output that
// is a window goes when the monitors close that window, as when a monitor's cable is pulled.
//
// sway refuses to run as root, and tests run as root: there the session and every process started
// through it run as a system user of the tests' own, made when missing. The session has its own
// runtime, home and XDG directories in a temporary folder; its bus lets root in as well, so the
// test itself sees which services are up. Every process the session started, and every process
// those started, ends with stop(): they are found by the session's runtime directory in their
// environment, which no other process has.
class SwaySession {
public:
    struct Output {
        QString name;
        QRect geometry;
        QColor background;
    };
    // The laptop (WL-1) and the projector (WL-2).
    static const QList<Output>& outputs();
    // A third output (WL-3), right of the projector, once plugged in.
    static const Output& spareOutput();

    SwaySession();
    ~SwaySession();
    SwaySession(const SwaySession&) = delete;
    SwaySession& operator=(const SwaySession&) = delete;

    // What keeps the session from running on this machine (a program not installed), or empty.
    static QString missingProgram();

    // Brings the session up and waits until the portal offers the screenshot. False, with the
    // reason and the session's logs in error(), when a step does not happen in time.
    bool start();
    void stop();
    const QString& error() const { return m_error; }

    // The X display of the session's XWayland (":N").
    const QString& x11Display() const { return m_display; }
    // A folder the session's user may write in.
    QString userFolder(const QString& name) const;
    // A copy of a folder the session's user may read and run programs from.
    bool copyForUser(const QString& from, const QString& to) const;

    // A process of the session's user, with the session's environment and `environment` added;
    // its output goes to the session's log `logName`. The process itself is the program (no
    // shell or wrapper stays between), so its pid is the program's.
    QProcess* startAsUser(const QString& program, const QStringList& arguments,
                          const QString& logName, const QStringList& environment = {},
                          const QString& workingDirectory = {});
    // Runs a command as the session's user; true when it ends with status 0 within the time.
    bool runAsUser(const QString& program, const QStringList& arguments,
                   QByteArray* output = nullptr, int timeoutMs = 30000) const;
    QString log(const QString& logName) const;

    // What the outputs show, read by grim: one output by name, or the whole layout.
    QImage grim(const QString& output = {}) const;
    // The portal's non-interactive screenshot of the whole layout, asked for by a program of the
    // session's user; null when the portal refuses or does not answer within the time.
    QImage portalScreenshot(int timeoutMs = 30000) const;
    // Plugs the spare output in and waits until sway shows the desktop on it; the session keeps
    // it from then on.
    bool plugSpareOutput();
    // Takes an output away, as when its monitor is unplugged, and waits until sway no longer
    // shows the desktop on it.
    bool unplugOutput(const QString& name);
    // sway's tree (`swaymsg -t get_tree`), and a command to sway.
    QJsonObject tree() const;
    bool swayCommand(const QString& command) const;
    // The names of the outputs sway shows the desktop on.
    QStringList activeOutputs() const;
    // Where sway shows the views of a process (XWayland windows show with their pid).
    QList<QRect> viewsOf(qint64 pid) const;
    // A press of the left button at a place of the layout, made through XWayland.
    bool click(QPoint place) const;

private:
    QProcessEnvironment environment() const;
    // A process of the session's user, ready to start.
    std::unique_ptr<QProcess> prepare(const QString& program, const QStringList& arguments,
                                      const QStringList& environment) const;
    bool fail(const QString& what);
    QList<pid_t> processesOfTheSession() const;
    // Ends what is left of sessions whose test process has gone without stopping them.
    static void endOrphanedSessions();

    QTemporaryDir m_folder;
    QString m_user;
    uid_t m_uid = 0;
    gid_t m_gid = 0;
    QString m_runtime;
    QString m_bus;
    QString m_wayland;
    QString m_swaySocket;
    // The IPC socket of the monitors' sway.
    QString m_monitorsSocket;
    QString m_display;
    QString m_error;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};
