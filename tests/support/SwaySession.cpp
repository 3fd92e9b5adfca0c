#include "SwaySession.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <QStandardPaths>
#include <QtCore/qtestsupport_core.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include <pwd.h>
#include <signal.h>
#include <unistd.h>

namespace {

const QString testUser = QStringLiteral("zkalto-wayland");
const QString portalName = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString wlrBackendName = QStringLiteral("org.freedesktop.impl.portal.desktop.wlr");
const QString gtkBackendName = QStringLiteral("org.freedesktop.impl.portal.desktop.gtk");
const QString libexec = QStringLiteral("/usr/libexec/");

// Steps of a session on a loaded machine may take long; these bound them generously.
constexpr int sessionStartMs = 60000;
constexpr int processEndMs = 15000;

// The machine's session bus configuration, with root let in: the test, root in CI, sees on the
// bus of the session's user which services are up.
constexpr char busConfiguration[] =
    "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
    " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
    "<busconfig>\n"
    "  <include>/usr/share/dbus-1/session.conf</include>\n"
    "  <policy context=\"default\"><allow user=\"root\"/></policy>\n"
    "</busconfig>\n";

bool writeFile(const QString& path, const QByteArray& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() &&
           file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                               QFile::ReadOther);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The first file of a folder whose name matches, other than `other`, as a path; empty when there
// is none.
QString firstFile(const QString& folder, const QString& pattern, const QString& other = {})
{
    const QFileInfoList files = QDir(folder).entryInfoList({pattern}, QDir::System | QDir::Files);
    for (const QFileInfo& file : files) {
        if (file.absoluteFilePath() != other)
            return file.absoluteFilePath();
    }
    return {};
}

// The monitors' sway shows each output of the session's sway, a window there titled by wlroots'
// Wayland backend, full screen on a headless output of its own.
QString monitorOf(qsizetype output)
{
    return QStringLiteral("HEADLESS-%1").arg(output + 1);
}

QString windowOf(const QString& output)
{
    return QStringLiteral("[title=\"^wlroots - %1$\"]").arg(output);
}

// Every process of a session carries the pid of the test that started it: a session whose test
// was killed before it could stop it is ended by the next one.
constexpr char ownerVariable[] = "SWAY_SESSION_TEST_PID";

// The environments of the processes other than this one, by pid, as lists of "NAME=value".
QList<std::pair<pid_t, QList<QByteArray>>> environments()
{
    QList<std::pair<pid_t, QList<QByteArray>>> processes;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool isNumber = false;
        const pid_t pid = entry.toInt(&isNumber);
        if (isNumber && pid != ::getpid())
            processes.append(
                {pid, readFile(QStringLiteral("/proc/%1/environ").arg(pid)).split('\0')});
    }
    return processes;
}

QByteArray valueOf(const QList<QByteArray>& environment, const QByteArray& variable)
{
    const QByteArray prefix = variable + '=';
    for (const QByteArray& setting : environment) {
        if (setting.startsWith(prefix))
            return setting.mid(prefix.size());
    }
    return {};
}

// Undoes the mounts below a folder, as a killed document portal leaves its file system.
void unmountUnder(const QString& folder)
{
    const QStringList mounts =
        QString::fromUtf8(readFile(QStringLiteral("/proc/self/mounts"))).split(QLatin1Char('\n'));
    for (const QString& mount : mounts) {
        const QString point = mount.section(QLatin1Char(' '), 1, 1);
        if (point.startsWith(folder + QLatin1Char('/')))
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("--lazy"), point});
    }
}

void collectViews(const QJsonObject& node, qint64 pid, QList<QRect>& views)
{
    if (node.value(QStringLiteral("pid")).toInteger(-1) == pid) {
        const QJsonObject rect = node.value(QStringLiteral("rect")).toObject();
        views.append(QRect(rect.value(QStringLiteral("x")).toInt(),
                           rect.value(QStringLiteral("y")).toInt(),
                           rect.value(QStringLiteral("width")).toInt(),
                           rect.value(QStringLiteral("height")).toInt()));
    }
    for (const char* children : {"nodes", "floating_nodes"}) {
        const QJsonArray nodes = node.value(QLatin1String(children)).toArray();
        for (const QJsonValue& child : nodes)
            collectViews(child.toObject(), pid, views);
    }
}

} // namespace

const QList<SwaySession::Output>& SwaySession::outputs()
{
    static const QList<Output> list{
        {QStringLiteral("WL-1"), QRect(0, 0, 1024, 768), QColor(0x2a, 0x7f, 0x3f)},
        {QStringLiteral("WL-2"), QRect(1024, 0, 1920, 1080), QColor(0x7f, 0x2a, 0x6a)}};
    return list;
}

const SwaySession::Output& SwaySession::spareOutput()
{
    static const Output output{QStringLiteral("WL-3"), QRect(1024 + 1920, 0, 1280, 1024),
                               QColor(0x3f, 0x2a, 0x7f)};
    return output;
}

SwaySession::SwaySession() = default;

SwaySession::~SwaySession()
{
    stop();
}

QString SwaySession::missingProgram()
{
    QStringList programs{QStringLiteral("sway"),
                         QStringLiteral("swaymsg"),
                         QStringLiteral("Xwayland"),
                         QStringLiteral("grim"),
                         QStringLiteral("xdotool"),
                         QStringLiteral("xhost"),
                         QStringLiteral("dbus-run-session"),
                         QStringLiteral("dbus-update-activation-environment"),
                         QStringLiteral("pipewire"),
                         QStringLiteral("wireplumber"),
                         libexec + QStringLiteral("xdg-desktop-portal"),
                         libexec + QStringLiteral("xdg-desktop-portal-wlr"),
                         libexec + QStringLiteral("xdg-desktop-portal-gtk")};
    if (::geteuid() == 0)
        programs << QStringLiteral("setpriv") << QStringLiteral("useradd");
    for (const QString& program : std::as_const(programs)) {
        const bool found = program.startsWith(QLatin1Char('/'))
                               ? QFileInfo(program).isExecutable()
                               : !QStandardPaths::findExecutable(program).isEmpty();
        if (!found)
            return program;
    }
    return {};
}

bool SwaySession::fail(const QString& what)
{
    m_error = what;
    for (const QString& name : QDir(m_folder.path()).entryList({QStringLiteral("*.log")}))
        m_error += QStringLiteral("\n--- %1:\n%2").arg(name, log(name).right(3000));
    return false;
}

QString SwaySession::userFolder(const QString& name) const
{
    return m_folder.filePath(QStringLiteral("home/") + name);
}

bool SwaySession::copyForUser(const QString& from, const QString& to) const
{
    return QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-r"), from + "/.", to}) == 0 &&
           QProcess::execute(QStringLiteral("chmod"), {QStringLiteral("-R"), "a+rX", to}) == 0;
}

QProcessEnvironment SwaySession::environment() const
{
    const QString home = m_folder.filePath(QStringLiteral("home"));
    QProcessEnvironment environment;
    environment.insert(
        QStringLiteral("PATH"),
        QStringLiteral("/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin"));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    environment.insert(QStringLiteral("XDG_STATE_HOME"), home + QStringLiteral("/.local/state"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime);
    environment.insert(QLatin1String(ownerVariable), QString::number(::getpid()));
    environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    // The portal picks the backends whose "UseIn" names this desktop.
    environment.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("sway"));
    if (!m_bus.isEmpty())
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus);
    if (!m_wayland.isEmpty())
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), m_wayland);
    if (!m_swaySocket.isEmpty())
        environment.insert(QStringLiteral("SWAYSOCK"), m_swaySocket);
    if (!m_display.isEmpty())
        environment.insert(QStringLiteral("DISPLAY"), m_display);
    return environment;
}

std::unique_ptr<QProcess> SwaySession::prepare(const QString& program, const QStringList& arguments,
                                               const QStringList& extra) const
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = this->environment();
    for (const QString& variable : extra) {
        const qsizetype equals = variable.indexOf(QLatin1Char('='));
        environment.insert(variable.left(equals), variable.mid(equals + 1));
    }
    process->setProcessEnvironment(environment);
    if (m_user.isEmpty()) {
        process->setProgram(program);
        process->setArguments(arguments);
    } else {
        // setpriv changes the user and runs the program in its own place: no process between.
        process->setProgram(QStringLiteral("setpriv"));
        process->setArguments(QStringList{QStringLiteral("--reuid=%1").arg(m_uid),
                                          QStringLiteral("--regid=%1").arg(m_gid),
                                          QStringLiteral("--clear-groups"), QStringLiteral("--"),
                                          program} +
                              arguments);
    }
    return process;
}

QProcess* SwaySession::startAsUser(const QString& program, const QStringList& arguments,
                                   const QString& logName, const QStringList& environment,
                                   const QString& workingDirectory)
{
    std::unique_ptr<QProcess> owned = prepare(program, arguments, environment);
    QProcess* process = owned.get();
    process->setStandardOutputFile(m_folder.filePath(logName), QIODevice::Append);
    process->setStandardErrorFile(m_folder.filePath(logName), QIODevice::Append);
    if (!workingDirectory.isEmpty())
        process->setWorkingDirectory(workingDirectory);
    process->start();
    m_processes.push_back(std::move(owned));
    return process;
}

bool SwaySession::runAsUser(const QString& program, const QStringList& arguments,
                            QByteArray* output, int timeoutMs) const
{
    std::unique_ptr<QProcess> process = prepare(program, arguments, {});
    process->start();
    const bool ended = process->waitForFinished(timeoutMs);
    if (!ended) {
        process->kill();
        process->waitForFinished(processEndMs);
    }
    if (output)
        *output = process->readAllStandardOutput();
    return ended && process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
}

QString SwaySession::log(const QString& logName) const
{
    return QString::fromUtf8(readFile(m_folder.filePath(logName)));
}

bool SwaySession::start()
{
    if (!m_folder.isValid())
        return fail(QStringLiteral("no temporary folder"));
    endOrphanedSessions();
    m_uid = ::geteuid();
    m_gid = ::getegid();
    if (m_uid == 0) {
        // sway refuses root: a system user of the tests' own, made once for the machine (a run
        // started beside this one may have made it meanwhile).
        if (!::getpwnam(qPrintable(testUser)))
            QProcess::execute(QStringLiteral("useradd"),
                              {QStringLiteral("--system"), QStringLiteral("--no-create-home"),
                               QStringLiteral("--user-group"), testUser});
        const passwd* entry = ::getpwnam(qPrintable(testUser));
        if (!entry)
            return fail(QStringLiteral("the user %1 could not be made").arg(testUser));
        m_user = testUser;
        m_uid = entry->pw_uid;
        m_gid = entry->pw_gid;
    }
    QFile::setPermissions(m_folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                               QFile::ReadGroup | QFile::ExeGroup |
                                               QFile::ReadOther | QFile::ExeOther);
    m_runtime = m_folder.filePath(QStringLiteral("runtime"));
    const QString home = m_folder.filePath(QStringLiteral("home"));
    for (const QString& folder :
         {m_runtime, home, home + "/.config", home + "/.local", home + "/.local/share",
          home + "/.local/state", home + "/.cache"}) {
        if (!QDir().mkpath(folder) ||
            ::chown(QFile::encodeName(folder).constData(), m_uid, m_gid) != 0)
            return fail(QStringLiteral("cannot make %1 for the session's user").arg(folder));
    }
    QFile::setPermissions(m_runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // The portal answers its own user's programs only: the helper that asks it is run as that
    // user, from where the user may run it.
    const QString helper = m_folder.filePath(QStringLiteral("take_portal_screenshot"));
    if (!QFile::copy(QStringLiteral(ZKALTO_TAKE_PORTAL_SCREENSHOT), helper) ||
        !QFile::setPermissions(helper, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                           QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther))
        return fail(QStringLiteral("cannot copy the portal's screenshot helper"));

    QByteArray configuration = "xwayland force\n";
    // The monitors' sway shows no X clients; the size of its outputs is the size of the
    // session's, since a window shown full screen takes its output's size.
    QByteArray monitorsConfiguration = "xwayland disable\n";
    const QList<Output> everyOutput = outputs() + QList{spareOutput()};
    for (qsizetype index = 0; index < everyOutput.size(); ++index) {
        const Output& output = everyOutput.at(index);
        configuration += QStringLiteral("output %1 mode %2x%3 position %4 %5 bg %6 solid_color\n")
                             .arg(output.name)
                             .arg(output.geometry.width())
                             .arg(output.geometry.height())
                             .arg(output.geometry.x())
                             .arg(output.geometry.y())
                             .arg(output.background.name())
                             .toUtf8();
        monitorsConfiguration +=
            QStringLiteral("output %1 mode %2x%3\n"
                           "for_window %4 move container to output %1, fullscreen enable\n")
                .arg(monitorOf(index))
                .arg(output.geometry.width())
                .arg(output.geometry.height())
                .arg(windowOf(output.name))
                .toUtf8();
    }
    const QString swayConfiguration = m_folder.filePath(QStringLiteral("sway.conf"));
    const QString monitorsConfigurationFile = m_folder.filePath(QStringLiteral("monitors.conf"));
    const QString busConfigurationFile = m_folder.filePath(QStringLiteral("bus.conf"));
    if (!writeFile(swayConfiguration, configuration) ||
        !writeFile(monitorsConfigurationFile, monitorsConfiguration) ||
        !writeFile(busConfigurationFile, busConfiguration))
        return fail(QStringLiteral("cannot write the configuration files"));

    // The monitors first, one for each output the session has or may get: the session's sway
    // opens its outputs as their windows.
    QProcess* monitors = startAsUser(
        QStringLiteral("sway"), {QStringLiteral("-c"), monitorsConfigurationFile},
        QStringLiteral("monitors.log"),
        {QStringLiteral("WLR_BACKENDS=headless"), QStringLiteral("WLR_LIBINPUT_NO_DEVICES=1"),
         QStringLiteral("WLR_RENDERER=pixman"),
         QStringLiteral("WLR_HEADLESS_OUTPUTS=%1").arg(everyOutput.size())});
    if (!monitors->waitForStarted())
        return fail(QStringLiteral("the monitors' sway could not be started: ") +
                    monitors->errorString());
    QString monitorsWayland;
    const bool monitorsUp = QTest::qWaitFor(
        [&] {
            monitorsWayland = firstFile(m_runtime, QStringLiteral("wayland-?"));
            m_monitorsSocket = firstFile(m_runtime, QStringLiteral("sway-ipc.*.sock"));
            return monitors->state() != QProcess::Running ||
                   (!monitorsWayland.isEmpty() && !m_monitorsSocket.isEmpty() &&
                    runAsUser("swaymsg", {"-s", m_monitorsSocket, "-t", "get_version"}));
        },
        sessionStartMs);
    if (!monitorsUp || monitors->state() != QProcess::Running)
        return fail(QStringLiteral("the monitors' sway did not come up"));

    // The session bus lives as long as sway; its address is left in a file for the test.
    const QString busFile = m_runtime + QStringLiteral("/bus-address");
    QProcess* sway = startAsUser(
        QStringLiteral("dbus-run-session"),
        {QStringLiteral("--config-file=") + busConfigurationFile, QStringLiteral("--"),
         QStringLiteral("sh"), QStringLiteral("-c"),
         QStringLiteral("printf '%s' \"$DBUS_SESSION_BUS_ADDRESS\" > %1 && exec sway -c %2")
             .arg(busFile, swayConfiguration)},
        QStringLiteral("sway.log"),
        {QStringLiteral("WAYLAND_DISPLAY=") + QFileInfo(monitorsWayland).fileName(),
         QStringLiteral("WLR_BACKENDS=wayland"), QStringLiteral("WLR_RENDERER=pixman"),
         QStringLiteral("WLR_WL_OUTPUTS=%1").arg(outputs().size())});
    if (!sway->waitForStarted())
        return fail(QStringLiteral("sway could not be started: ") + sway->errorString());
    const bool up = QTest::qWaitFor(
        [&] {
            m_wayland =
                QFileInfo(firstFile(m_runtime, QStringLiteral("wayland-?"), monitorsWayland))
                    .fileName();
            m_swaySocket =
                firstFile(m_runtime, QStringLiteral("sway-ipc.*.sock"), m_monitorsSocket);
            return sway->state() != QProcess::Running ||
                   (!readFile(busFile).isEmpty() && !m_wayland.isEmpty() &&
                    !m_swaySocket.isEmpty() && runAsUser("swaymsg", {"-t", "get_version"}));
        },
        sessionStartMs);
    if (!up || sway->state() != QProcess::Running)
        return fail(QStringLiteral("sway did not come up"));
    m_bus = QString::fromUtf8(readFile(busFile));

    // XWayland's display, as sway hands it to the programs it starts.
    const QString displayFile = m_runtime + QStringLiteral("/display");
    swayCommand(QStringLiteral("exec printf %s \"$DISPLAY\" > %1").arg(displayFile));
    if (!QTest::qWaitFor([&] { return !readFile(displayFile).isEmpty(); }, sessionStartMs))
        return fail(QStringLiteral("sway told no X display"));
    m_display = QString::fromUtf8(readFile(displayFile));
    // XWayland lets in its user's programs only: the test, as root, looks at it too.
    if (!m_user.isEmpty() &&
        !runAsUser(QStringLiteral("xhost"), {QStringLiteral("+si:localuser:root")}))
        return fail(QStringLiteral("XWayland does not let root in"));
    // Services the bus starts on demand find the session's displays and desktop.
    if (!runAsUser(QStringLiteral("dbus-update-activation-environment"),
                   {QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("DISPLAY"),
                    QStringLiteral("SWAYSOCK"), QStringLiteral("XDG_CURRENT_DESKTOP")}))
        return fail(QStringLiteral("the bus's activation environment could not be set"));

    // The portal looks for its backends once, at its start: they are started before it, and
    // its wlroots backend ends at once when it finds no PipeWire.
    startAsUser(QStringLiteral("pipewire"), {}, QStringLiteral("pipewire.log"));
    if (!QTest::qWaitFor(
            [&] { return QFileInfo::exists(m_runtime + QStringLiteral("/pipewire-0")); },
            sessionStartMs))
        return fail(QStringLiteral("PipeWire did not come up"));
    startAsUser(QStringLiteral("wireplumber"), {}, QStringLiteral("wireplumber.log"));
    startAsUser(libexec + QStringLiteral("xdg-desktop-portal-gtk"), {},
                QStringLiteral("portal-gtk.log"), {QStringLiteral("GDK_BACKEND=wayland")});
    startAsUser(libexec + QStringLiteral("xdg-desktop-portal-wlr"), {},
                QStringLiteral("portal-wlr.log"));
    QDBusConnection bus = QDBusConnection::connectToBus(m_bus, m_runtime);
    if (!bus.isConnected())
        return fail(QStringLiteral("cannot connect to the session bus: ") +
                    bus.lastError().message());
    if (!QTest::qWaitFor(
            [&] {
                return bus.interface()->isServiceRegistered(wlrBackendName).value() &&
                       bus.interface()->isServiceRegistered(gtkBackendName).value();
            },
            sessionStartMs))
        return fail(QStringLiteral("the portal's backends did not come up"));
    startAsUser(libexec + QStringLiteral("xdg-desktop-portal"), {}, QStringLiteral("portal.log"));
    // The portal offers the screenshot once it has found both backends.
    const bool offered = QTest::qWaitFor(
        [&] {
            QDBusMessage get = QDBusMessage::createMethodCall(
                portalName, portalPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                QStringLiteral("Get"));
            get << QStringLiteral("org.freedesktop.portal.Screenshot") << QStringLiteral("version");
            return bus.call(get, QDBus::Block, 5000).type() == QDBusMessage::ReplyMessage;
        },
        sessionStartMs);
    if (!offered)
        return fail(QStringLiteral("the portal offers no screenshot"));
    return true;
}

QImage SwaySession::grim(const QString& output) const
{
    const QString file = userFolder(QStringLiteral("grim.png"));
    QFile::remove(file);
    QStringList arguments;
    if (!output.isEmpty())
        arguments << QStringLiteral("-o") << output;
    if (!runAsUser(QStringLiteral("grim"), arguments << file))
        return {};
    QImage picture(file);
    QFile::remove(file);
    return picture;
}

QImage SwaySession::portalScreenshot(int timeoutMs) const
{
    const QString file = userFolder(QStringLiteral("portal.png"));
    QFile::remove(file);
    QByteArray said;
    if (!runAsUser(m_folder.filePath(QStringLiteral("take_portal_screenshot")), {file}, &said,
                   timeoutMs)) {
        qWarning("no picture from the portal: %s", said.constData());
        return {};
    }
    QImage picture(file);
    QFile::remove(file);
    return picture;
}

QJsonObject SwaySession::tree() const
{
    QByteArray json;
    if (!runAsUser(QStringLiteral("swaymsg"),
                   {QStringLiteral("-r"), QStringLiteral("-t"), QStringLiteral("get_tree")}, &json))
        return {};
    return QJsonDocument::fromJson(json).object();
}

bool SwaySession::plugSpareOutput()
{
    return swayCommand(QStringLiteral("create_output")) &&
           QTest::qWaitFor([&] { return activeOutputs().contains(spareOutput().name); },
                           sessionStartMs);
}

bool SwaySession::unplugOutput(const QString& name)
{
    const auto gone = [&] {
        const QStringList active = activeOutputs();
        return !active.isEmpty() && !active.contains(name);
    };
    return runAsUser(QStringLiteral("swaymsg"),
                     {QStringLiteral("-s"), m_monitorsSocket, windowOf(name) + " kill"}) &&
           QTest::qWaitFor(gone, sessionStartMs);
}

QStringList SwaySession::activeOutputs() const
{
    QByteArray json;
    if (!runAsUser(QStringLiteral("swaymsg"),
                   {QStringLiteral("-r"), QStringLiteral("-t"), QStringLiteral("get_outputs")},
                   &json))
        return {};
    QStringList names;
    const QJsonArray outputs = QJsonDocument::fromJson(json).array();
    for (const QJsonValue& output : outputs) {
        if (output[QStringLiteral("active")].toBool())
            names.append(output[QStringLiteral("name")].toString());
    }
    return names;
}

bool SwaySession::swayCommand(const QString& command) const
{
    return runAsUser(QStringLiteral("swaymsg"), {command});
}

QList<QRect> SwaySession::viewsOf(qint64 pid) const
{
    QList<QRect> views;
    collectViews(tree(), pid, views);
    return views;
}

bool SwaySession::click(QPoint place) const
{
    return runAsUser(QStringLiteral("xdotool"),
                     {QStringLiteral("mousemove"), QString::number(place.x()),
                      QString::number(place.y()), QStringLiteral("click"), QStringLiteral("1")});
}

QList<pid_t> SwaySession::processesOfTheSession() const
{
    QList<pid_t> processes;
    const QByteArray runtime = QFile::encodeName(m_runtime);
    for (const auto& [pid, environment] : environments()) {
        if (valueOf(environment, "XDG_RUNTIME_DIR") == runtime)
            processes.append(pid);
    }
    return processes;
}

void SwaySession::endOrphanedSessions()
{
    QList<pid_t> orphans;
    QSet<QString> folders;
    for (const auto& [pid, environment] : environments()) {
        const QByteArray owner = valueOf(environment, ownerVariable);
        if (owner.isEmpty() || ::kill(owner.toInt(), 0) == 0 || errno != ESRCH)
            continue;
        ::kill(pid, SIGKILL);
        orphans.append(pid);
        // The session's folder holds its runtime directory.
        const QFileInfo runtime(QFile::decodeName(valueOf(environment, "XDG_RUNTIME_DIR")));
        if (runtime.isAbsolute() && runtime.fileName() == QLatin1String("runtime"))
            folders.insert(runtime.path());
    }
    static_cast<void>(QTest::qWaitFor(
        [&] {
            return std::all_of(orphans.begin(), orphans.end(),
                               [](pid_t pid) { return ::kill(pid, 0) != 0; });
        },
        processEndMs));
    for (const QString& folder : std::as_const(folders)) {
        unmountUnder(folder);
        QDir(folder).removeRecursively();
    }
}

void SwaySession::stop()
{
    // The programs first, in the reverse order of their start, sway and its bus last.
    for (auto it = m_processes.rbegin(); it != m_processes.rend(); ++it) {
        QProcess& process = **it;
        if (process.state() == QProcess::NotRunning)
            continue;
        process.terminate();
        if (!process.waitForFinished(processEndMs)) {
            process.kill();
            process.waitForFinished(processEndMs);
        }
    }
    m_processes.clear();
    if (!m_bus.isEmpty())
        QDBusConnection::disconnectFromBus(m_runtime);
    m_bus.clear();
    if (m_runtime.isEmpty())
        return;
    // What the session started itself is ended here: dbus-run-session, ended, leaves its bus
    // and the services the bus started running, and those do not end by themselves.
    bool ended = false;
    for (const int signal : {SIGTERM, SIGKILL}) {
        for (const pid_t pid : processesOfTheSession())
            ::kill(pid, signal);
        ended = QTest::qWaitFor([&] { return processesOfTheSession().isEmpty(); }, processEndMs);
        if (ended)
            break;
    }
    if (!ended)
        qWarning("processes of the Wayland test session did not end");
    unmountUnder(m_runtime);
    // A killed XWayland leaves its socket and lock behind.
    if (!m_display.isEmpty()) {
        const QString number = m_display.mid(1);
        for (const QString& file : {QStringLiteral("/tmp/.X11-unix/X") + number,
                                    QStringLiteral("/tmp/.X%1-lock").arg(number)}) {
            if (QFileInfo(file).ownerId() == m_uid)
                QFile::remove(file);
        }
    }
    m_display.clear();
    m_monitorsSocket.clear();
    m_runtime.clear();
}
