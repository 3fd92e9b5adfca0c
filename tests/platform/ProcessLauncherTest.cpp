// ProcessLauncher with small shell scripts standing for program files: each one, when run,
// writes the directory it runs in to a marker file, which the test waits for.

#include "platform/real/ProcessLauncher.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

class ProcessLauncherTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startsProgram_data();
    void startsProgram();
    void refusesWhatCannotRun_data();
    void refusesWhatCannotRun();
    void watchesProgramAndWhatItStarts();

private:
    QString makeDirectory(const QString& name);
    // A "#!/bin/sh" script that writes its working directory to the marker file.
    void writeScript(const QString& path, QFile::Permissions permissions);
    QString marker() const { return QDir(m_base->path()).filePath(QStringLiteral("marker")); }

    std::unique_ptr<QTemporaryDir> m_base;
    QByteArray m_savedPath;
};

void ProcessLauncherTest::init()
{
    m_base = std::make_unique<QTemporaryDir>();
    QVERIFY(m_base->isValid());
    m_savedPath = qgetenv("PATH");
}

void ProcessLauncherTest::cleanup()
{
    qputenv("PATH", m_savedPath);
    m_base.reset();
}

QString ProcessLauncherTest::makeDirectory(const QString& name)
{
    QDir(m_base->path()).mkdir(name);
    return QDir(m_base->path()).filePath(name);
}

void ProcessLauncherTest::writeScript(const QString& path, QFile::Permissions permissions)
{
    QFile script(path);
    QVERIFY(script.open(QIODevice::WriteOnly));
    // Written under another name and moved, so the marker never appears half written.
    script.write(QStringLiteral("#!/bin/sh\necho \"$PWD\" > '%1.part' && mv '%1.part' '%1'\n")
                     .arg(marker())
                     .toUtf8());
    script.close();
    QVERIFY(script.setPermissions(permissions));
}

void ProcessLauncherTest::startsProgram_data()
{
    QTest::addColumn<bool>("inFirstDirectory");
    QTest::addColumn<bool>("onPath");
    QTest::addColumn<QString>("runsIn");

    QTest::newRow("found in the first directory") << true << false << QStringLiteral("first");
    QTest::newRow("found on PATH") << false << true << QStringLiteral("onpath");
    QTest::newRow("first directory before PATH") << true << true << QStringLiteral("first");
}

void ProcessLauncherTest::startsProgram()
{
    QFETCH(bool, inFirstDirectory);
    QFETCH(bool, onPath);
    QFETCH(QString, runsIn);

    const QString first = makeDirectory(QStringLiteral("first"));
    const QString pathDirectory = makeDirectory(QStringLiteral("onpath"));
    const auto executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    if (inFirstDirectory)
        writeScript(first + QStringLiteral("/qorkb.dll"), executable);
    if (onPath)
        writeScript(pathDirectory + QStringLiteral("/qorkb.dll"), executable);
    qputenv("PATH", QFile::encodeName(pathDirectory) + ':' + m_savedPath);

    // The program runs from its own directory, not from the test's.
    ProcessLauncher launcher;
    QVERIFY(launcher.startProgram(QStringLiteral("qorkb.dll"), first));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker()), 10000);
    QFile written(marker());
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(written.readAll()).trimmed(), QDir(m_base->path()).filePath(runsIn));
}

void ProcessLauncherTest::refusesWhatCannotRun_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << QStringLiteral("missing");
    QTest::newRow("not executable") << QStringLiteral("plain file");
    QTest::newRow("a directory of that name") << QStringLiteral("directory");
}

void ProcessLauncherTest::refusesWhatCannotRun()
{
    QFETCH(QString, kind);
    const QString first = makeDirectory(QStringLiteral("first"));
    const QString program = first + QStringLiteral("/ani.dll");
    if (kind == QLatin1String("plain file"))
        writeScript(program, QFile::ReadOwner | QFile::WriteOwner);
    if (kind == QLatin1String("directory"))
        QVERIFY(QDir().mkpath(program));
    qputenv("PATH", QFile::encodeName(makeDirectory(QStringLiteral("empty"))));

    ProcessLauncher launcher;
    QVERIFY(!launcher.startProgram(QStringLiteral("ani.dll"), first));
    QVERIFY(!launcher.startWatchedProgram(QStringLiteral("ani.dll"), first));
    QVERIFY(ProcessLauncher::findProgram(QStringLiteral("ani.dll"), first).isEmpty());
}

void ProcessLauncherTest::watchesProgramAndWhatItStarts()
{
    // A starter: it starts the real program, says its process id, and ends when told to.
    const QString first = makeDirectory(QStringLiteral("first"));
    const QString go = QDir(m_base->path()).filePath(QStringLiteral("go"));
    QFile script(first + QStringLiteral("/ani.dll"));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\nsleep 60 &\necho $! > '%1.part' && mv '%1.part' '%1'\n"
                                "while [ ! -e '%2' ]; do sleep 0.05; done\n")
                     .arg(marker(), go)
                     .toUtf8());
    script.close();
    QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    ProcessLauncher launcher;
    const std::unique_ptr<WatchedProgram> program =
        launcher.startWatchedProgram(QStringLiteral("ani.dll"), first);
    QVERIFY(program);
    qint64 started = 0;
    // Whatever happens, the starter and what it started end with the test.
    const auto ending = qScopeGuard([&] {
        QFile(go).open(QIODevice::WriteOnly);
        if (started > 0)
            ::kill(pid_t(started), SIGTERM);
    });
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker()), 10000);
    QFile written(marker());
    QVERIFY(written.open(QIODevice::ReadOnly));
    started = written.readAll().trimmed().toLongLong();
    QVERIFY(started > 0);
    QVERIFY(program->running());
    QVERIFY(program->owns(started));
    QVERIFY(!program->owns(QCoreApplication::applicationPid()));

    QFile(go).open(QIODevice::WriteOnly);
    QTRY_VERIFY_WITH_TIMEOUT(!program->running(), 10000);
    // What it started still belongs to it after it has ended.
    QVERIFY(program->owns(started));
}

QTEST_GUILESS_MAIN(ProcessLauncherTest)
#include "ProcessLauncherTest.moc"
