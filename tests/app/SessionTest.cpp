#include "DisplayProbe.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <unistd.h>

// The program as a process in a session. Started without a usable X display it says so in one
// line and ends; ended from outside (a signal, the X server going away) it runs the exit steps
// of "退出" without asking, so no page text file stays behind, and it ends whatever window is open.
// Each case has an X server and a program directory of its own, with a copy of the program in it.
class SessionTest : public QObject {
    Q_OBJECT
private slots:
    void withoutDisplay_data();
    void withoutDisplay();
    void endedFromOutside_data();
    void endedFromOutside();
    void guideShowsWhenRunAsRoot();
};

namespace {

// Places on a 1024 x 768 screen: the toolbar at 588, 0; the board's strip right-aligned.
constexpr QPoint toolbarPlace(700, 20);
constexpr QPoint toolbarBoardButton(588 + 19, 20);
constexpr QPoint boardSettingsButton(300 + 608 + 19, 20);
constexpr QPoint boardRightPageButton(300 + 578 + 14, 20);
constexpr QPoint boardLeaveButton(300 + 684 + 19, 20);
constexpr QPoint toolbarHelpButton(588 + 229 + 19, 20);
// Inside the guide's page, where its background shows once the page is drawn.
constexpr QPoint guidePage(500, 300);
const QColor guideBackground(0xff, 0xfd, 0xf7);
// "确定" in the settings window, from its top-left corner.
constexpr QPoint settingsOkButton(455 + 42, 321 + 15);
constexpr QPoint screenCentre(512, 384);

// Page n's text file of the program's run, in the run's folder of the program directory; empty
// when there is none.
QString pageTextFile(const QString& directory, int n)
{
    for (const QString& folder :
         QDir(directory).entryList({QStringLiteral("texts-*")}, QDir::Dirs)) {
        const QString path =
            directory + QLatin1Char('/') + folder + QLatin1Char('/') + QString::number(n);
        if (QFile::exists(path))
            return path;
    }
    return {};
}

// An X server of the case's own; its display, empty when it does not come up.
QByteArray startServer(QProcess& server)
{
    // The server writes the display number it found free.
    server.start(QStringLiteral("Xvfb"),
                 {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
    if (!server.waitForStarted() || !QTest::qWaitFor([&] { return server.canReadLine(); }, 10000))
        return {};
    return ":" + server.readLine().trimmed();
}

QProcessEnvironment programEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // As on a desktop: the program chooses X11 itself.
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return environment;
}

} // namespace

void SessionTest::withoutDisplay_data()
{
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("message");
    QTest::newRow("DISPLAY not set")
        << QString() << QStringLiteral("zkalto needs an X11 display, and DISPLAY is not set");
    QTest::newRow("no server at DISPLAY")
        << QStringLiteral(":32765")
        << QStringLiteral("zkalto needs an X11 display, and none can be opened at "
                          "DISPLAY=\":32765\"");
}

void SessionTest::withoutDisplay()
{
    QFETCH(QString, display);
    QFETCH(QString, message);
    QProcessEnvironment environment = programEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    if (!display.isEmpty())
        environment.insert(QStringLiteral("DISPLAY"), display);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(ZKALTO_PROGRAM_DIR "/zkalto"), {});
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY(program.exitCode() != 0);
    QCOMPARE(program.readAllStandardOutput(), QByteArray());
    QCOMPARE(QString::fromUtf8(program.readAllStandardError()), message + QLatin1Char('\n'));
}

void SessionTest::endedFromOutside_data()
{
    QTest::addColumn<int>("signal");
    // The window open when the program is ended: "设置" and "帮助" close only by "确定".
    QTest::addColumn<QString>("openWindow");
    QTest::newRow("SIGTERM") << int(SIGTERM) << QString();
    QTest::newRow("SIGHUP") << int(SIGHUP) << QString();
    QTest::newRow("SIGINT") << int(SIGINT) << QString();
    QTest::newRow("X server gone") << 0 << QString();
    QTest::newRow("SIGTERM while 设置 is open") << int(SIGTERM) << QStringLiteral("设置");
    QTest::newRow("SIGTERM while 帮助 is open") << int(SIGTERM) << QStringLiteral("帮助");
    QTest::newRow("X server gone while 设置 is open") << 0 << QStringLiteral("设置");
}

void SessionTest::endedFromOutside()
{
    QFETCH(int, signal);
    QFETCH(QString, openWindow);
    QProcess server;
    const QByteArray display = startServer(server);
    QVERIFY(!display.isEmpty());
    auto probe = std::make_unique<DisplayProbe>(display);
    QVERIFY(probe->isOpen());

    QTemporaryDir directory;
    const QString programFile = directory.filePath(QStringLiteral("zkalto"));
    QVERIFY(QFile::copy(QStringLiteral(ZKALTO_PROGRAM_DIR "/zkalto"), programFile));
    QProcess program;
    QProcessEnvironment environment = programEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(directory.path());
    program.start(programFile, {});
    QVERIFY(program.waitForStarted());
    const qint64 pid = program.processId();
    QTRY_VERIFY_WITH_TIMEOUT(probe->windowsOf(pid).contains(probe->windowAt(toolbarPlace)), 15000);

    // Three pages written on, each with its page text file kept by "设置".
    probe->click(toolbarBoardButton);
    QTRY_VERIFY_WITH_TIMEOUT(probe->windowCaptioned(pid, QStringLiteral("白板")) != 0, 10000);
    for (int page = 1; page <= 3; ++page) {
        if (page > 1)
            probe->click(boardRightPageButton);
        probe->drag(QPoint(300, 300), QPoint(400, 380));
        probe->click(boardSettingsButton);
        QTRY_VERIFY(probe->windowCaptioned(pid, QStringLiteral("设置")) != 0);
        QTRY_VERIFY(!pageTextFile(directory.path(), page).isEmpty());
        const quint64 settings = probe->windowCaptioned(pid, QStringLiteral("设置"));
        probe->click(probe->geometry(settings).topLeft() + settingsOkButton);
        QTRY_COMPARE(probe->windowCaptioned(pid, QStringLiteral("设置")), quint64(0));
    }

    if (openWindow == QStringLiteral("设置")) {
        probe->click(boardSettingsButton);
        QTRY_VERIFY(probe->windowCaptioned(pid, QStringLiteral("设置")) != 0);
    } else if (openWindow == QStringLiteral("帮助")) {
        probe->click(boardLeaveButton);
        QTRY_VERIFY_WITH_TIMEOUT(probe->windowsOf(pid).contains(probe->windowAt(toolbarPlace)),
                                 10000);
        probe->click(toolbarHelpButton);
        QTRY_VERIFY_WITH_TIMEOUT(probe->windowsOf(pid).contains(probe->windowAt(screenCentre)),
                                 15000);
    }
    const QStringList pageTexts = {pageTextFile(directory.path(), 1),
                                   pageTextFile(directory.path(), 2),
                                   pageTextFile(directory.path(), 3)};

    if (signal != 0) {
        QCOMPARE(::kill(pid_t(pid), signal), 0);
    } else {
        probe.reset();
        server.terminate();
        QVERIFY(server.waitForFinished(10000));
    }
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    if (signal != 0)
        QCOMPARE(program.exitCode(), 0);
    for (const QString& text : pageTexts)
        QVERIFY2(!QFile::exists(text), qPrintable(text));
    QCOMPARE(QDir(directory.path()).entryList({QStringLiteral("texts-*")}, QDir::AllEntries),
             QStringList());

    server.terminate();
    server.waitForFinished(10000);
}

// Kiosk set-ups run everything as root, where the web engine refuses its sandbox and would end
// the whole program with the first web view.
void SessionTest::guideShowsWhenRunAsRoot()
{
    if (::geteuid() != 0)
        QSKIP("needs root");
    QProcess server;
    const QByteArray display = startServer(server);
    QVERIFY(!display.isEmpty());
    DisplayProbe probe(display);
    QVERIFY(probe.isOpen());

    QProcess program;
    QProcessEnvironment environment = programEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
    environment.remove(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(QStringLiteral(ZKALTO_PROGRAM_DIR));
    program.start(QStringLiteral(ZKALTO_PROGRAM_DIR "/zkalto"), {});
    QVERIFY(program.waitForStarted());
    const qint64 pid = program.processId();
    QTRY_VERIFY_WITH_TIMEOUT(probe.windowsOf(pid).contains(probe.windowAt(toolbarPlace)), 15000);

    probe.click(toolbarHelpButton);
    QTRY_COMPARE_WITH_TIMEOUT(probe.pixel(guidePage), guideBackground, 30000);
    QCOMPARE(program.state(), QProcess::Running);
    const QByteArray said = program.readAllStandardError();
    QCOMPARE(said.count("web views run without the web engine's sandbox"), 1);

    program.terminate();
    QVERIFY(program.waitForFinished(20000));
    server.terminate();
    server.waitForFinished(10000);
}

QTEST_GUILESS_MAIN(SessionTest)
#include "SessionTest.moc"
