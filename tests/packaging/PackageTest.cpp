#include "ProgramOnDesktop.h"
#include "ProgramPlaces.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <pwd.h>
#include <unistd.h>

using namespace ProgramPlaces;

namespace {

const QString programDirectory = QStringLiteral("/usr/lib/zkalto");
const QString menuEntry = QStringLiteral("/usr/share/applications/org.zkalto.zkalto.desktop");
const QString metadata = QStringLiteral("/usr/share/metainfo/org.zkalto.zkalto.metainfo.xml");
const QList<int> iconSizes{16, 22, 24, 32, 48, 64, 128, 256};

// Inside the guide's page, where its background shows.
constexpr QPoint guidePage(500, 300);
const QColor guideBackground(0xff, 0xfd, 0xf7);
// On the stroke written from (300, 300) to (400, 380).
constexpr QPoint onTheStroke(350, 340);

QString iconPath(int size)
{
    return QStringLiteral("/usr/share/icons/hicolor/%1x%1/apps/zkalto.png").arg(size);
}

QStringList sourceNames(const QString& folder, const QString& pattern)
{
    return QDir(QStringLiteral(ZKALTO_SOURCE_DIR "/") + folder)
        .entryList({pattern}, QDir::Files, QDir::Name);
}

// What the program finds beside itself once installed: the program, its web view process, its
// help document, the administrator password file, the cursors and the clip-art.
QStringList programDirectoryFiles()
{
    QStringList files;
    for (const char* name : {"zkalto", "zkalto-web", "zkthelp.mht", "sxut.dll"})
        files << programDirectory + QLatin1Char('/') + QLatin1String(name);
    for (const QString& cursor : sourceNames(QStringLiteral("resources/cursors"), "*.cut"))
        files << programDirectory + QLatin1Char('/') + cursor;
    for (const QString& picture : sourceNames(QStringLiteral("resources/clipart"), "*.svg"))
        files << programDirectory + QStringLiteral("/db/pic/") + QFileInfo(picture).baseName() +
                     QStringLiteral(".jt");
    return files;
}

struct Outcome {
    int exitCode = -1;
    QString output;
    QString errors;
};

Outcome run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    Outcome outcome;
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit)
        outcome.exitCode = process.exitCode();
    outcome.output = QString::fromUtf8(process.readAllStandardOutput());
    outcome.errors = QString::fromUtf8(process.readAllStandardError());
    return outcome;
}

// Every file and folder under a directory with its size and time of change.
QStringList contentsOf(const QString& directory)
{
    QStringList contents;
    QDirIterator entries(directory,
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QFileInfo entry(entries.next());
        contents << QStringLiteral("%1 %2 %3")
                        .arg(entry.filePath())
                        .arg(entry.size())
                        .arg(entry.lastModified().toMSecsSinceEpoch());
    }
    contents.sort();
    return contents;
}

// Waits for the condition up to seconds of the wall clock. Twice in a whole run QTRY's loop of
// 50 ms waits was used up within a run of 12 s in all, so this wait measures time itself and says
// how long it waited when the condition does not come true.
template <typename Condition> bool waitOnTheWallClock(int seconds, Condition condition)
{
    const qint64 start = QDateTime::currentMSecsSinceEpoch();
    QElapsedTimer elapsed;
    elapsed.start();
    int waits = 0;
    while (!condition()) {
        if (QDateTime::currentMSecsSinceEpoch() - start > seconds * 1000) {
            qWarning("not within %d s of the wall clock: %d waits, %lld ms of the monotonic clock",
                     seconds, waits, static_cast<long long>(elapsed.elapsed()));
            return false;
        }
        QTest::qWait(50);
        ++waits;
    }
    return true;
}

QString namespaceOf(qint64 pid, const char* kind)
{
    return QFile::symLinkTarget(QStringLiteral("/proc/%1/ns/%2").arg(pid).arg(kind));
}

} // namespace

// The Debian package installed on this machine by install-package.sh, which removes it again:
// its files where a desktop looks for them, its metadata accepted by the desktop's validators,
// and the installed program at work on a desktop for a user who cannot write its directory.
class PackageTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void installsEachFileWhereItBelongs_data();
    void installsEachFileWhereItBelongs();
    void programDirectoryHoldsOnlyWhatIsDelivered();
    void deliversNoAdministratorPassword();
    void iconsHaveTheirSizes_data();
    void iconsHaveTheirSizes();
    void menuEntryNamesTheProgramInChinese();
    void validatorsAcceptTheMetadata_data();
    void validatorsAcceptTheMetadata();
    void dependsOnWhatTheProgramUses_data();
    void dependsOnWhatTheProgramUses();
    void installedProgramWritesOnlyToTheUsersPlaces();
    void installedProgramRunAsRootLeavesItsDirectory();

private:
    // Saves the board as lesson 1 of volume 1 of 教师1 on the drive the settings window shows.
    void saveFirstLesson(qint64 pid);

    QSet<QString> m_listed;
    QString m_user;
    ProgramOnDesktop m_desktop;
    DisplayProbe& m_probe = m_desktop.probe();
};

void PackageTest::initTestCase()
{
    if (::geteuid() != 0)
        QSKIP("installing the package needs root");
    m_user = qEnvironmentVariable("ZKALTO_PACKAGE_USER");
    if (m_user.isEmpty())
        QSKIP("run through install-package.sh, which installs the package");
    const Outcome listed = run(QStringLiteral("dpkg"), {"-L", "zkalto"});
    QCOMPARE(listed.exitCode, 0);
    for (const QString& path : listed.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        m_listed.insert(path);
}

void PackageTest::cleanup()
{
    m_desktop.end();
}

void PackageTest::installsEachFileWhereItBelongs_data()
{
    QTest::addColumn<QStringList>("paths");
    QTest::newRow("the launcher") << QStringList{QStringLiteral("/usr/bin/zkalto")};
    QTest::newRow("the program directory") << programDirectoryFiles();
    QTest::newRow("the menu entry") << QStringList{menuEntry};
    QStringList icons{QStringLiteral("/usr/share/icons/hicolor/scalable/apps/zkalto.svg")};
    for (const int size : iconSizes)
        icons << iconPath(size);
    QTest::newRow("the icons") << icons;
    QTest::newRow("the AppStream metadata") << QStringList{metadata};
    QStringList manPages;
    for (const QString& page : sourceNames(QStringLiteral("packaging/man"), "*.1"))
        manPages << QStringLiteral("/usr/share/man/man1/") + page + QStringLiteral(".gz");
    QTest::newRow("the man pages") << manPages;
    if (QFileInfo::exists(QStringLiteral(ZKALTO_PROGRAM_DIR "/zkalto-lesson")))
        QTest::newRow("the lesson command")
            << QStringList{QStringLiteral("/usr/bin/zkalto-lesson")};
}

void PackageTest::installsEachFileWhereItBelongs()
{
    QFETCH(QStringList, paths);
    QVERIFY(!paths.isEmpty());
    for (const QString& path : paths) {
        QVERIFY2(m_listed.contains(path), qPrintable(path + " is not in the package"));
        QVERIFY2(QFileInfo(path).isFile(), qPrintable(path + " is not installed"));
    }
}

void PackageTest::programDirectoryHoldsOnlyWhatIsDelivered()
{
    // Nothing a run of the program in the build left beside it (page texts, "tmp.bmt") comes in.
    const QStringList delivered = programDirectoryFiles();
    for (const QString& path : m_listed) {
        if (path.startsWith(programDirectory + QLatin1Char('/')) && QFileInfo(path).isFile())
            QVERIFY2(delivered.contains(path), qPrintable(path + " is not delivered"));
    }
    for (const char* executable : {"/usr/bin/zkalto", "/usr/lib/zkalto/zkalto"})
        QVERIFY2(QFileInfo(QString::fromLatin1(executable)).isExecutable(), executable);
}

void PackageTest::deliversNoAdministratorPassword()
{
    // The copy beside the program in the build may hold a password set while trying it out.
    QFile file(programDirectory + QStringLiteral("/sxut.dll"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().mid(5000, 12), QByteArray(12, ' '));
}

void PackageTest::iconsHaveTheirSizes_data()
{
    QTest::addColumn<int>("size");
    for (const int size : iconSizes)
        QTest::addRow("%d px", size) << size;
}

void PackageTest::iconsHaveTheirSizes()
{
    QFETCH(int, size);
    const QImage icon(iconPath(size));
    QCOMPARE(icon.size(), QSize(size, size));
    QVERIFY(icon.hasAlphaChannel());
    // Drawn on a clear ground, and not empty: the middle shows the board.
    QCOMPARE(qAlpha(icon.pixel(0, size - 1)), 0);
    QCOMPARE(qAlpha(icon.pixel(size / 4, size / 2)), 255);
}

void PackageTest::menuEntryNamesTheProgramInChinese()
{
    QFile file(menuEntry);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const char* line : {"Name[zh_CN]=电子白板", "Exec=zkalto", "Icon=zkalto"})
        QVERIFY2(lines.contains(QString::fromUtf8(line)), line);
    QVERIFY(
        lines.filter(QRegularExpression(QStringLiteral("^Categories=(.*;)?Education;"))).size() ==
        1);
}

void PackageTest::validatorsAcceptTheMetadata_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("desktop-file-validate")
        << QStringLiteral("desktop-file-validate") << QStringList{menuEntry};
    QTest::newRow("appstreamcli") << QStringLiteral("appstreamcli")
                                  << QStringList{"validate", "--no-net", metadata};
    // The lesson command runs from /usr/bin with the libraries the package depends on.
    QTest::newRow("zkalto-lesson --help")
        << QStringLiteral("/usr/bin/zkalto-lesson") << QStringList{"--help"};
    for (const QString& page : sourceNames(QStringLiteral("packaging/man"), "*.1")) {
        QTest::addRow("mandoc %s", qPrintable(page))
            << QStringLiteral("mandoc")
            << QStringList{"-T", "lint", "-W", "warning",
                           QStringLiteral("/usr/share/man/man1/") + page + QStringLiteral(".gz")};
        // As a user reads it: man-db finds the page by name.
        QTest::addRow("man %s", qPrintable(page))
            << QStringLiteral("man")
            << QStringList{"--warnings", "-P", "cat", "1", page.chopped(2)};
    }
}

void PackageTest::validatorsAcceptTheMetadata()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    const Outcome validation = run(program, arguments);
    QVERIFY2(validation.exitCode == 0, qPrintable(validation.output + validation.errors));
    // man says what it does not understand on its error output, and still ends well.
    QVERIFY2(validation.errors.isEmpty(), qPrintable(validation.errors));
}

void PackageTest::dependsOnWhatTheProgramUses_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("package");
    // Found by dpkg-shlibdeps in the program and its web view module.
    QTest::newRow("Qt's widgets") << "Depends"
                                  << "libqt6widgets6";
    QTest::newRow("the web engine") << "Depends"
                                    << "libqt6webenginewidgets6";
    QTest::newRow("xcb's EWMH") << "Depends"
                                << "libxcb-ewmh2";
    // Used by name, not linked.
    QTest::newRow("SANE, loaded when scanning") << "Depends"
                                                << "libsane1";
    QTest::newRow("the font of 宋体") << "Depends"
                                      << "fonts-arphic-uming";
    QTest::newRow("the font of 隶书") << "Depends"
                                      << "fonts-arphic-ukai";
    QTest::newRow("the font of MS Sans Serif") << "Depends"
                                               << "fonts-dejavu-core";
    QTest::newRow("Qt's picture readers") << "Depends"
                                          << "qt6-image-formats-plugins";
    QTest::newRow("Qt's dialogs in Chinese") << "Depends"
                                             << "qt6-translations-l10n";
    QTest::newRow("the desktop portal") << "Recommends"
                                        << "xdg-desktop-portal";
}

void PackageTest::dependsOnWhatTheProgramUses()
{
    QFETCH(QString, field);
    QFETCH(QString, package);
    const Outcome relations =
        run(QStringLiteral("dpkg-query"),
            {"-W", QStringLiteral("-f=${%1}").arg(field), QStringLiteral("zkalto")});
    QCOMPARE(relations.exitCode, 0);
    QStringList names;
    for (const QString& relation :
         relations.output.split(QRegularExpression(QStringLiteral("[,|]"))))
        names << relation.trimmed().section(QLatin1Char(' '), 0, 0);
    QVERIFY2(names.contains(package), qPrintable(relations.output));
}

void PackageTest::saveFirstLesson(qint64 pid)
{
    m_probe.click(boardSettingsButton);
    const QString settingsCaption = QStringLiteral("设置");
    QTRY_VERIFY_WITH_TIMEOUT(m_probe.windowCaptioned(pid, settingsCaption) != 0, 20000);
    const QPoint settings =
        m_probe.geometry(m_probe.windowCaptioned(pid, settingsCaption)).topLeft();
    for (const QPoint place :
         {settingsSecondTeacher, settingsFirstVolume, settingsFirstLesson, settingsSaveButton})
        m_probe.click(settings + place);
}

void PackageTest::installedProgramWritesOnlyToTheUsersPlaces()
{
    QVERIFY(m_desktop.isReady());
    const passwd* account = ::getpwnam(qPrintable(m_user));
    QVERIFY(account);
    const uid_t uid = account->pw_uid;
    const gid_t gid = account->pw_gid;

    // A home of the user's own, and the user let into the test's display.
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString home = folder.filePath(QStringLiteral("home"));
    const QString data = home + QStringLiteral("/.local/share");
    const QString runtime = folder.filePath(QStringLiteral("runtime"));
    for (const QString& path : {home, home + QStringLiteral("/.config"), home + "/.local", data,
                                home + QStringLiteral("/.cache"), runtime}) {
        QVERIFY(QDir().mkpath(path));
        QVERIFY(::chown(QFile::encodeName(path).constData(), uid, gid) == 0);
    }
    QVERIFY(QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                     QFile::ExeOwner | QFile::ReadOther |
                                                     QFile::ExeOther));
    QCOMPARE(
        QProcess::execute(QStringLiteral("xhost"), {QStringLiteral("+si:localuser:") + m_user}), 0);
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/local/bin:/usr/bin:/bin"));
    environment.insert(QStringLiteral("DISPLAY"), qEnvironmentVariable("DISPLAY"));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), data);
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);

    const QStringList programDirectoryBefore = contentsOf(programDirectory);
    QVERIFY(!programDirectoryBefore.isEmpty());
    m_desktop.startDesktop(true);
    if (QTest::currentTestFailed())
        return;
    // setpriv becomes the launcher, which becomes the program: the process is the program's.
    m_desktop.startProgram(QStringLiteral("setpriv"),
                           {QStringLiteral("--reuid=%1").arg(uid),
                            QStringLiteral("--regid=%1").arg(gid), QStringLiteral("--clear-groups"),
                            QStringLiteral("--"), QStringLiteral("/usr/bin/zkalto")},
                           environment);
    if (QTest::currentTestFailed())
        return;
    const qint64 pid = m_desktop.pid();
    const QString process = QStringLiteral("/proc/%1/").arg(pid);
    QCOMPARE(QFile::symLinkTarget(process + QStringLiteral("exe")),
             programDirectory + QStringLiteral("/zkalto"));
    // The cursors are loaded from the current directory.
    QCOMPARE(QFile::symLinkTarget(process + QStringLiteral("cwd")), programDirectory);

    // Written on the board, and saved as a lesson of 教师1, volume 1, lesson 1 on drive C.
    m_desktop.openBoard();
    if (QTest::currentTestFailed())
        return;
    const QColor emptyPage = ProgramOnDesktop::emptyPageColour;
    m_probe.drag(QPoint(300, 300), QPoint(400, 380));
    QTRY_VERIFY_WITH_TIMEOUT(m_probe.pixel(onTheStroke) != emptyPage, 10000);
    const QColor ink = m_probe.pixel(onTheStroke);
    saveFirstLesson(pid);
    QTRY_COMPARE_WITH_TIMEOUT(m_probe.windowCaptioned(pid, QStringLiteral("设置")), quint64(0),
                              30000);
    const QString lessons = data + QStringLiteral("/zkalto/C/Program files/Z_Kalto/data/");
    const QString page = lessons + QStringLiteral("教师1111.pte");
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(page).isFile(), 30000);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(lessons + QStringLiteral("datb.sec")).isFile(), 30000);
    QCOMPARE(QImage(page).pixelColor(onTheStroke), ink);
    QCOMPARE(QFileInfo(page).ownerId(), uid);

    // The guide, from the toolbar, in the web engine with its sandbox.
    m_probe.click(boardDemoButton);
    QTRY_VERIFY_WITH_TIMEOUT(m_desktop.programWindowAt(toolbarPlace) != 0, 20000);
    m_probe.click(toolbarHelpButton);
    // Generous: the first guide loads the web engine's libraries, just installed and not yet read
    // from the disk, before its window shows.
    QVERIFY(waitOnTheWallClock(60, [&] { return m_probe.windowCaptioned(pid, "帮助") != 0; }));
    // Generous: the web engine starts with the guide.
    QTRY_COMPARE_WITH_TIMEOUT(m_probe.pixel(guidePage), guideBackground, 60000);
    const QString programUsers = namespaceOf(pid, "user");
    bool sandboxed = false;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const qint64 other = entry.toLongLong(&isPid);
        if (isPid && QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(other))
                         .endsWith(QStringLiteral("/QtWebEngineProcess")))
            sandboxed = sandboxed || namespaceOf(other, "user") != programUsers;
    }
    QVERIFY2(sandboxed, "no process of the web engine runs in a namespace sandbox");

    // The page texts went to the user's working directory, and nothing was written beside the
    // program.
    QVERIFY(!QDir(data + QStringLiteral("/zkalto/work"))
                 .entryList({QStringLiteral("texts-%1-*").arg(pid)}, QDir::Dirs)
                 .isEmpty());
    m_desktop.end();
    QCOMPARE(contentsOf(programDirectory), programDirectoryBefore);
}

// Kiosk images run the program as root, who could write anywhere: the installed directory is left
// as delivered all the same.
void PackageTest::installedProgramRunAsRootLeavesItsDirectory()
{
    QVERIFY(m_desktop.isReady());
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QString data = home.filePath(QStringLiteral(".local/share"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral(".config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), data);
    environment.insert(QStringLiteral("XDG_STATE_HOME"), home.filePath(QStringLiteral(".state")));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral(".cache")));

    const QStringList programDirectoryBefore = contentsOf(programDirectory);
    m_desktop.startDesktop(true);
    if (QTest::currentTestFailed())
        return;
    m_desktop.startProgram(QStringLiteral("/usr/bin/zkalto"), {}, environment);
    if (QTest::currentTestFailed())
        return;
    const qint64 pid = m_desktop.pid();
    m_desktop.openBoard();
    if (QTest::currentTestFailed())
        return;
    m_probe.drag(QPoint(300, 300), QPoint(400, 380));
    QTRY_VERIFY_WITH_TIMEOUT(m_probe.pixel(onTheStroke) != ProgramOnDesktop::emptyPageColour,
                             10000);
    // A lesson saved: the page texts are written on the way.
    saveFirstLesson(pid);
    QTRY_VERIFY_WITH_TIMEOUT(
        QFileInfo(data + QStringLiteral("/zkalto/C/Program files/Z_Kalto/data/教师1111.pte"))
            .isFile(),
        30000);
    QVERIFY(!QDir(data + QStringLiteral("/zkalto/work"))
                 .entryList({QStringLiteral("texts-%1-*").arg(pid)}, QDir::Dirs)
                 .isEmpty());
    m_desktop.end();
    QCOMPARE(contentsOf(programDirectory), programDirectoryBefore);
}

QTEST_MAIN(PackageTest)
#include "PackageTest.moc"
