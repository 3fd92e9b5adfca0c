#include "files/FileWrite.h"
#include "FileContents.h"
#include "files/ProgramRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>
#include <utime.h>

// Writing by a fixed name where anything may stand under it: the file under the name gets the
// bytes, never what a link points to, and a named pipe never makes the writer wait.
class FileWriteTest : public QObject {
    Q_OBJECT
private slots:
    void writesReplaceWhatStandsUnderTheName_data();
    void writesReplaceWhatStandsUnderTheName();
    void replaceKeepsTheFilesPermissions();
    void renameMovesWhatStandsAside_data();
    void renameMovesWhatStandsAside();
    void renameRefusesToMoveADirectoryAside();
    void temporariesOfEndedRunsAreRemoved();
    void runsAreToldApart();
};

namespace {

enum class Standing { Nothing, File, LinkOutside, DanglingLink, Pipe };

} // namespace

void FileWriteTest::writesReplaceWhatStandsUnderTheName_data()
{
    QTest::addColumn<Standing>("standing");
    QTest::addColumn<bool>("replace"); // else create
    for (const bool replace : {true, false}) {
        const char* call = replace ? "replace" : "create";
        QTest::addRow("%s: nothing", call) << Standing::Nothing << replace;
        QTest::addRow("%s: a file", call) << Standing::File << replace;
        QTest::addRow("%s: a link to a file outside", call) << Standing::LinkOutside << replace;
        QTest::addRow("%s: a link to nothing outside", call) << Standing::DanglingLink << replace;
        QTest::addRow("%s: a named pipe", call) << Standing::Pipe << replace;
    }
}

void FileWriteTest::writesReplaceWhatStandsUnderTheName()
{
    QFETCH(Standing, standing);
    QFETCH(bool, replace);
    QTemporaryDir directory;
    QTemporaryDir outside;
    const QString path = directory.filePath(QStringLiteral("datb.sec"));
    const QString target = outside.filePath(QStringLiteral("target"));
    switch (standing) {
    case Standing::Nothing:
        break;
    case Standing::File:
        FileContents::write(path, "old");
        break;
    case Standing::LinkOutside:
        FileContents::write(target, "outside");
        QVERIFY(QFile::link(target, path));
        break;
    case Standing::DanglingLink:
        QVERIFY(QFile::link(target, path));
        break;
    case Standing::Pipe:
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        break;
    }

    const int error = replace ? FileWrite::replace(path, "new") : FileWrite::create(path, "new");

    QCOMPARE(error, 0);
    QVERIFY(!QFileInfo(path).isSymLink());
    QCOMPARE(FileContents::of(path), QByteArray("new"));
    QCOMPARE(QDir(outside.path()).entryList(QDir::Files),
             standing == Standing::LinkOutside ? QStringList{"target"} : QStringList());
    if (standing == Standing::LinkOutside)
        QCOMPARE(FileContents::of(target), QByteArray("outside"));
    // No temporary file stays beside it.
    QCOMPARE(
        QDir(directory.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
        QStringList{"datb.sec"});
}

void FileWriteTest::replaceKeepsTheFilesPermissions()
{
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("datb.sec"));
    FileContents::write(path, "old");
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    QCOMPARE(FileWrite::replace(path, "new"), 0);
    struct stat status {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &status), 0);
    QCOMPARE(status.st_mode & 07777, mode_t(0640));
    // A refused replace (no such directory) says why.
    QCOMPARE(FileWrite::replace(directory.filePath(QStringLiteral("none/datb.sec")), "x"), ENOENT);
}

void FileWriteTest::renameMovesWhatStandsAside_data()
{
    QTest::addColumn<Standing>("standing");
    QTest::addRow("nothing") << Standing::Nothing;
    QTest::addRow("a file") << Standing::File;
    QTest::addRow("a link to a file outside") << Standing::LinkOutside;
}

// The new file takes the name, what stood there goes aside as it was (a link stays a link, its
// target untouched), and doing it again changes nothing.
void FileWriteTest::renameMovesWhatStandsAside()
{
    QFETCH(Standing, standing);
    QTemporaryDir directory;
    QTemporaryDir outside;
    const QString path = directory.filePath(QStringLiteral("a1.pte"));
    const QString saving = path + QStringLiteral(".saving");
    const QString aside = path + QStringLiteral(".old");
    const QString target = outside.filePath(QStringLiteral("target"));
    if (standing == Standing::File)
        FileContents::write(path, "old");
    if (standing == Standing::LinkOutside) {
        FileContents::write(target, "outside");
        QVERIFY(QFile::link(target, path));
    }
    FileContents::write(saving, "new");

    QCOMPARE(FileWrite::renameMovingAside(saving, path, aside), 0);
    QCOMPARE(FileWrite::renameMovingAside(saving, path, aside), ENOENT);

    QCOMPARE(FileContents::of(path), QByteArray("new"));
    QVERIFY(!QFileInfo::exists(saving));
    QCOMPARE(QFileInfo(aside).isSymLink(), standing == Standing::LinkOutside);
    QCOMPARE(QFileInfo::exists(aside), standing != Standing::Nothing);
    if (standing == Standing::File)
        QCOMPARE(FileContents::of(aside), QByteArray("old"));
    if (standing == Standing::LinkOutside)
        QCOMPARE(FileContents::of(target), QByteArray("outside"));
}

// A directory under the name is no file to replace: it stays, and so does the new file.
void FileWriteTest::renameRefusesToMoveADirectoryAside()
{
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("a1.pte"));
    QVERIFY(QDir().mkdir(path));
    FileContents::write(path + QStringLiteral(".saving"), "new");
    QVERIFY(FileWrite::renameMovingAside(path + QStringLiteral(".saving"), path,
                                         path + QStringLiteral(".old")) != 0);
    QVERIFY(QFileInfo(path).isDir());
    QVERIFY(!QFileInfo::exists(path + QStringLiteral(".old")));
    QCOMPARE(FileContents::of(path + QStringLiteral(".saving")), QByteArray("new"));
}

void FileWriteTest::temporariesOfEndedRunsAreRemoved()
{
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("datb.sec"));
    const QString killed = path + QStringLiteral(".tmp-killed");
    const QString running = path + QStringLiteral(".tmp-running");
    const QString other = directory.filePath(QStringLiteral("other.sec.tmp-killed"));
    for (const QString& file : {path, killed, running, other})
        FileContents::write(file, "x");
    const QDateTime start = QDateTime::currentDateTime();
    struct utimbuf old {};
    old.actime = old.modtime = time_t(start.toSecsSinceEpoch() - 3600);
    for (const QString& file : {path, killed, other})
        QCOMPARE(::utime(QFile::encodeName(file).constData(), &old), 0);

    FileWrite::removeTemporariesOlderThan(path, start.addSecs(-60));

    QStringList left = QDir(directory.path()).entryList(QDir::Files);
    left.sort();
    QCOMPARE(left, (QStringList{"datb.sec", "datb.sec.tmp-running", "other.sec.tmp-killed"}));
}

void FileWriteTest::runsAreToldApart()
{
    const ProgramRun current = ProgramRun::current();
    QVERIFY(current.isRunning());
    QCOMPARE(ProgramRun::fromName(current.name()), std::optional(current));
    const ProgramRun ended{current.processId, current.startTicks + 1};
    QVERIFY(!ended.isRunning());
    for (const char* name : {"", "12", "-5-6", "12-x", "0-3", "12-3-4"})
        QVERIFY2(!ProgramRun::fromName(QString::fromLatin1(name)), name);
    QVERIFY(ProgramRun::currentStartTime() <= QDateTime::currentDateTime());
    QVERIFY(ProgramRun::currentStartTime() > QDateTime::currentDateTime().addDays(-1));
}

QTEST_GUILESS_MAIN(FileWriteTest)
#include "FileWriteTest.moc"
