#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

// The program on a Wayland session as classrooms have them: sway with two headless outputs (a
// 1024 x 768 laptop and a 1920 x 1080 projector to its right), XWayland, PipeWire and the desktop
// portal with its wlroots backend (the screenshot) and its GTK backend (the access check). sway
// will not run as root, so run as root the test runs the session and the program as a user of
// its own. The test presses through XWayland (xdotool) and reads the outputs with grim.
class WaylandDesktopTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void snapshotShowsTheWaylandDesktop();

private:
    QStringList asUser(const QStringList& command) const;
    QProcess* startAsUser(const QStringList& command, const QString& log);
    bool runAsUser(const QStringList& command, int timeoutMs = 30000) const;
    QImage output(const QString& name) const;

    QString m_user;
    QTemporaryDir m_directory;
    QString m_runtime;
    QString m_bus;
    QString m_display;
    QList<QProcess*> m_processes;
};

namespace {

const QString testUser = QStringLiteral("zkalto-wayland");
const QColor laptopBackground(0x2a, 0x7f, 0x3f);
constexpr QPoint toolbarPlace(700, 20);
constexpr QPoint toolbarOverlayButton(588 + 38 + 19, 20);
// The overlay's strip at the top right, and a place of the desktop beneath the overlay where a
// message box would stand if no picture had come.
constexpr QPoint overlayStrip(1024 - 20, 20);
constexpr QPoint desktopUnderOverlay(512, 384);

constexpr char swayConfiguration[] = R"(xwayland enable
output HEADLESS-1 mode 1024x768 position 0 0 bg #2a7f3f solid_color
output HEADLESS-2 mode 1920x1080 position 1024 0 bg #7f2a6a solid_color
)";

bool writeFile(const QString& path, const QByteArray& text, QFile::Permissions permissions)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() &&
           file.setPermissions(permissions);
}

} // namespace

QStringList WaylandDesktopTest::asUser(const QStringList& command) const
{
    QStringList environment{QStringLiteral("XDG_RUNTIME_DIR=") + m_runtime,
                            QStringLiteral("HOME=") + m_directory.filePath(QStringLiteral("home")),
                            QStringLiteral("WAYLAND_DISPLAY=wayland-1"),
                            QStringLiteral("XDG_CURRENT_DESKTOP=sway:GNOME"),
                            QStringLiteral("GDK_BACKEND=wayland")};
    if (!m_bus.isEmpty())
        environment << QStringLiteral("DBUS_SESSION_BUS_ADDRESS=") + m_bus;
    if (!m_display.isEmpty())
        environment << QStringLiteral("DISPLAY=") + m_display;
    QStringList full;
    if (!m_user.isEmpty())
        full << QStringLiteral("runuser") << QStringLiteral("-u") << m_user << QStringLiteral("--");
    full << QStringLiteral("env") << environment << command;
    return full;
}

QProcess* WaylandDesktopTest::startAsUser(const QStringList& command, const QString& log)
{
    auto* process = new QProcess(this);
    process->setStandardOutputFile(m_directory.filePath(log));
    process->setStandardErrorFile(m_directory.filePath(log));
    const QStringList full = asUser(command);
    process->start(full.first(), full.mid(1));
    m_processes.append(process);
    return process;
}

bool WaylandDesktopTest::runAsUser(const QStringList& command, int timeoutMs) const
{
    QProcess process;
    const QStringList full = asUser(command);
    process.start(full.first(), full.mid(1));
    return process.waitForFinished(timeoutMs) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

QImage WaylandDesktopTest::output(const QString& name) const
{
    const QString file = m_directory.filePath(QStringLiteral("home/output.png"));
    QFile::remove(file);
    if (!runAsUser({QStringLiteral("grim"), QStringLiteral("-o"), name, file}))
        return {};
    return QImage(file);
}

void WaylandDesktopTest::initTestCase()
{
    for (const char* program : {"sway", "grim", "xdotool", "/usr/libexec/xdg-desktop-portal"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty() &&
            !QFileInfo::exists(QString::fromLatin1(program)))
            QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(program)));
    }
    QVERIFY(m_directory.isValid());
    QVERIFY(QFile::setPermissions(m_directory.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                          QFile::ExeOwner | QFile::ReadOther |
                                                          QFile::ExeOther | QFile::ReadGroup |
                                                          QFile::ExeGroup));
    uid_t uid = ::geteuid();
    gid_t gid = ::getegid();
    if (uid == 0) {
        // sway refuses root: a user of the test's own, made once for the machine.
        m_user = testUser;
        if (!::getpwnam(qPrintable(m_user)))
            QCOMPARE(
                QProcess::execute(QStringLiteral("useradd"),
                                  {QStringLiteral("--system"), QStringLiteral("--no-create-home"),
                                   QStringLiteral("--shell"), QStringLiteral("/bin/sh"), m_user}),
                0);
        const passwd* entry = ::getpwnam(qPrintable(m_user));
        QVERIFY(entry);
        uid = entry->pw_uid;
        gid = entry->pw_gid;
    }
    m_runtime = m_directory.filePath(QStringLiteral("runtime"));
    for (const QString& folder : {m_runtime, m_directory.filePath(QStringLiteral("home")),
                                  m_directory.filePath(QStringLiteral("program"))}) {
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(::chown(QFile::encodeName(folder).constData(), uid, gid) == 0);
    }
    QVERIFY(::chmod(QFile::encodeName(m_runtime).constData(), 0700) == 0);
    // The program directory as a user can read it.
    QCOMPARE(QProcess::execute(QStringLiteral("cp"),
                               {QStringLiteral("-r"), QStringLiteral(ZKALTO_PROGRAM_DIR "/."),
                                m_directory.filePath(QStringLiteral("program"))}),
             0);
    QCOMPARE(QProcess::execute(QStringLiteral("chmod"),
                               {QStringLiteral("-R"), QStringLiteral("a+rX"),
                                m_directory.filePath(QStringLiteral("program"))}),
             0);
    const QString configuration = m_directory.filePath(QStringLiteral("sway.conf"));
    QVERIFY(writeFile(configuration, swayConfiguration,
                      QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::ReadGroup));
    const QString busFile = m_runtime + QStringLiteral("/bus");

    // Headless outputs drawn by the CPU; the session bus lives as long as sway.
    const QDateTime swayStarted = QDateTime::currentDateTime().addSecs(-2);
    startAsUser({QStringLiteral("WLR_BACKENDS=headless"),
                 QStringLiteral("WLR_LIBINPUT_NO_DEVICES=1"), QStringLiteral("WLR_RENDERER=pixman"),
                 QStringLiteral("WLR_HEADLESS_OUTPUTS=2"), QStringLiteral("dbus-run-session"),
                 QStringLiteral("--"), QStringLiteral("sh"), QStringLiteral("-c"),
                 QStringLiteral("echo \"$DBUS_SESSION_BUS_ADDRESS\" > %1 && exec sway -c %2")
                     .arg(busFile, configuration)},
                QStringLiteral("sway.log"));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(busFile).size() > 0 &&
                                 QFileInfo::exists(m_runtime + QStringLiteral("/wayland-1")),
                             30000);
    QFile bus(busFile);
    QVERIFY(bus.open(QIODevice::ReadOnly));
    m_bus = QString::fromUtf8(bus.readAll().trimmed());
    QTRY_VERIFY_WITH_TIMEOUT(!output(QStringLiteral("HEADLESS-1")).isNull(), 30000);
    QCOMPARE(output(QStringLiteral("HEADLESS-1")).pixelColor(10, 300), laptopBackground);

    // XWayland's display: the X socket sway made for the user.
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            for (const QFileInfo& socket :
                 QDir(QStringLiteral("/tmp/.X11-unix"))
                     .entryInfoList({QStringLiteral("X*")}, QDir::System)) {
                // A socket left by an earlier run is older than this session.
                if (socket.ownerId() == uid && socket.lastModified() >= swayStarted) {
                    m_display = QLatin1Char(':') + socket.fileName().mid(1);
                    return true;
                }
            }
            return false;
        }(),
        30000);

    startAsUser({QStringLiteral("pipewire")}, QStringLiteral("pipewire.log"));
    startAsUser({QStringLiteral("wireplumber")}, QStringLiteral("wireplumber.log"));
    startAsUser({QStringLiteral("/usr/libexec/xdg-desktop-portal-gtk")},
                QStringLiteral("portal-gtk.log"));
    startAsUser({QStringLiteral("/usr/libexec/xdg-desktop-portal-wlr")},
                QStringLiteral("portal-wlr.log"));
    QTRY_VERIFY_WITH_TIMEOUT(runAsUser({QStringLiteral("gdbus"), QStringLiteral("introspect"),
                                        QStringLiteral("--session"), QStringLiteral("--dest"),
                                        QStringLiteral("org.freedesktop.impl.portal.desktop.wlr"),
                                        QStringLiteral("--object-path"),
                                        QStringLiteral("/org/freedesktop/portal/desktop")},
                                       10000),
                             30000);
    startAsUser({QStringLiteral("/usr/libexec/xdg-desktop-portal")}, QStringLiteral("portal.log"));
    // The portal offers the screenshot once it has found both backends.
    QTRY_VERIFY_WITH_TIMEOUT(
        runAsUser({QStringLiteral("gdbus"), QStringLiteral("call"), QStringLiteral("--session"),
                   QStringLiteral("--dest"), QStringLiteral("org.freedesktop.portal.Desktop"),
                   QStringLiteral("--object-path"),
                   QStringLiteral("/org/freedesktop/portal/desktop"), QStringLiteral("--method"),
                   QStringLiteral("org.freedesktop.DBus.Properties.Get"),
                   QStringLiteral("org.freedesktop.portal.Screenshot"), QStringLiteral("version")},
                  10000),
        60000);
}

void WaylandDesktopTest::cleanupTestCase()
{
    for (auto it = m_processes.rbegin(); it != m_processes.rend(); ++it) {
        (*it)->terminate();
        if (!(*it)->waitForFinished(10000))
            (*it)->kill();
    }
    // Whatever the session started (XWayland, the programs it activated) ends with it, and the
    // killed XWayland's socket and lock go too.
    if (!m_user.isEmpty())
        QProcess::execute(QStringLiteral("pkill"),
                          {QStringLiteral("-KILL"), QStringLiteral("-u"), m_user});
    if (!m_display.isEmpty()) {
        QFile::remove(QStringLiteral("/tmp/.X11-unix/X") + m_display.mid(1));
        QFile::remove(QStringLiteral("/tmp/.X%1-lock").arg(m_display.mid(1)));
    }
}

// "标注" over a desktop the X server does not hold: the overlay shows sway's own background.
void WaylandDesktopTest::snapshotShowsTheWaylandDesktop()
{
    QProcess* program = startAsUser({QStringLiteral("sh"), QStringLiteral("-c"),
                                     QStringLiteral("cd %1 && exec ./zkalto")
                                         .arg(m_directory.filePath(QStringLiteral("program")))},
                                    QStringLiteral("zkalto.log"));
    QVERIFY(program->waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(
        output(QStringLiteral("HEADLESS-1")).pixelColor(toolbarPlace) != laptopBackground, 30000);

    QVERIFY(runAsUser({QStringLiteral("xdotool"), QStringLiteral("mousemove"),
                       QString::number(toolbarOverlayButton.x()),
                       QString::number(toolbarOverlayButton.y()), QStringLiteral("click"),
                       QStringLiteral("1")}));
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            const QImage laptop = output(QStringLiteral("HEADLESS-1"));
            return !laptop.isNull() && laptop.pixelColor(overlayStrip) != laptopBackground &&
                   laptop.pixelColor(toolbarPlace) != laptopBackground &&
                   laptop.pixelColor(desktopUnderOverlay) == laptopBackground;
        }(),
        30000);
    QCOMPARE(program->state(), QProcess::Running);
    QFile log(m_directory.filePath(QStringLiteral("zkalto.log")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(log.readAll().contains("the task-switching keys cannot be blocked there"));
}

QTEST_GUILESS_MAIN(WaylandDesktopTest)
#include "WaylandDesktopTest.moc"
