#include "lessons/LessonStore.h"
#include "FileContents.h"
#include "LessonSamples.h"
#include "files/LaterRemoval.h"
#include "lessons/LessonWriter.h"
#include "text/Gbk.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <map>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

const QSize screen(640, 480);
const QString lesson = QStringLiteral("李213");

QString save(const LessonStore& store, int version, int pages)
{
    LessonWriter writer(store, lesson, pages);
    for (int n = 1; n <= pages; ++n)
        writer.add(n, LessonSamples::page(version, n, screen));
    return writer.finish();
}

// Whether the lesson opens as the whole of one version: its page count and every page.
bool opensAs(const LessonStore& store, int version, int pages)
{
    const LessonStore::Lesson opened = store.open(lesson);
    if (opened.pageCount != pages)
        return false;
    for (int n = 1; n <= pages; ++n) {
        const LessonPage expected = LessonSamples::page(version, n, screen);
        const LessonPage read = store.readPage(opened, n, screen);
        if (read.picture != expected.picture || read.contentKind != expected.contentKind ||
            read.panelBounds != expected.panelBounds || read.text != expected.text)
            return false;
    }
    return true;
}

QStringList savingFiles(const LessonStore& store)
{
    return QDir(store.directory()).entryList({QStringLiteral("*.saving*")}, QDir::Files);
}

} // namespace

// The lesson store on a drive root of the test's own: what a save writes, what an open reads,
// and that no failure or crash leaves anything but the old lesson or the new one, whole.
class LessonStoreTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void savedLessonIsTheIndexAndThreeFilesAPage();
    void savedLessonOpensAsItWas();
    void shorterSaveReplacesTheLesson();
    void savingAgainWritesWhatChanged();
    void missingOrDamagedFilesOpenWithDefaults_data();
    void missingOrDamagedFilesOpenWithDefaults();
    void pictureOfALargerScreenIsRead();
    void pageCountFromTheIndex_data();
    void pageCountFromTheIndex();
    void namesThatCannotNameFiles_data();
    void namesThatCannotNameFiles();
    void refusedWriteKeepsTheOldLesson_data();
    void refusedWriteKeepsTheOldLesson();
    void committedSaveIsReadUntilItCanBePutInPlace();
    void killedSavesLeaveTheOldLessonOrTheNew();
    void committedSaveIsNotTakenByAShorterName();

private:
    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<LessonStore> m_store;
};

void LessonStoreTest::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    m_store = std::make_unique<LessonStore>(LessonStore::directoryOn(m_root->path() + '/'));
    m_store->makeDirectory();
}

void LessonStoreTest::cleanup()
{
    LessonSamples::refuseWrites(m_store->directory(), false);
    m_store.reset();
    m_root.reset();
}

void LessonStoreTest::savedLessonIsTheIndexAndThreeFilesAPage()
{
    QCOMPARE(m_store->directory(), m_root->path() + "/Program files/Z_Kalto/data/");
    QCOMPARE(save(*m_store, 1, 3), QString());
    QStringList files = QDir(m_store->directory()).entryList(QDir::Files);
    files.sort();
    QStringList expected{"datb.sec"};
    for (int n = 1; n <= 3; ++n)
        for (const char* extension : {".pte", ".sec", ".te"})
            expected << lesson + QString::number(n) + QLatin1String(extension);
    expected.sort();
    QCOMPARE(files, expected);
    // The index and the panel records are INI text in GBK; the section is the lesson name.
    QCOMPARE(FileContents::of(m_store->indexPath()), *Gbk::encode("[李213]\r\npag=3\r\n"));
    QCOMPARE(FileContents::of(m_store->pathOf(lesson, 2, LessonStore::PageFile::Panel)),
             QByteArray("[edit]\r\nvis=2\r\nleft=2\r\ntop=42\r\nwidth=368\r\nheight=435\r\n"));
    QVERIFY(FileContents::of(m_store->pathOf(lesson, 1, LessonStore::PageFile::Picture))
                .startsWith("\x89PNG\r\n"));
    // A page without text has an empty text file: an older text of that page does not come back.
    QCOMPARE(FileContents::of(m_store->pathOf(lesson, 3, LessonStore::PageFile::Text)),
             QByteArray());
}

void LessonStoreTest::savedLessonOpensAsItWas()
{
    QCOMPARE(save(*m_store, 1, 3), QString());
    QVERIFY(opensAs(*m_store, 1, 3));
    QCOMPARE(m_store->open(lesson).readsSaving, false);
}

void LessonStoreTest::shorterSaveReplacesTheLesson()
{
    QCOMPARE(save(*m_store, 1, 5), QString());
    QCOMPARE(save(*m_store, 2, 2), QString());
    QVERIFY(opensAs(*m_store, 2, 2));
    // The files of pages 3 to 5 stay; "pag" says they are no part of the lesson.
    QVERIFY(QFile::exists(m_store->pathOf(lesson, 5, LessonStore::PageFile::Picture)));
    QCOMPARE(savingFiles(*m_store), QStringList());
}

// Saved again with page 2 changed: only page 2's files are written and replaced; the others stay
// the very files they were. The old ones are removed behind the save.
void LessonStoreTest::savingAgainWritesWhatChanged()
{
    QCOMPARE(save(*m_store, 1, 3), QString());
    const auto inodeOf = [&](int n, LessonStore::PageFile file) {
        struct stat status {};
        return ::lstat(QFile::encodeName(m_store->pathOf(lesson, n, file)).constData(), &status) ==
                       0
                   ? status.st_ino
                   : ino_t(0);
    };
    std::map<std::pair<int, LessonStore::PageFile>, ino_t> before;
    for (int n = 1; n <= 3; ++n)
        for (LessonStore::PageFile file : LessonStore::pageFiles)
            before[{n, file}] = inodeOf(n, file);
    {
        LessonWriter writer(*m_store, lesson, 3);
        for (int n = 1; n <= 3; ++n)
            writer.add(n, LessonSamples::page(n == 2 ? 2 : 1, n, screen));
        QCOMPARE(writer.finish(), QString());
    }
    for (int n = 1; n <= 3; ++n)
        for (LessonStore::PageFile file : LessonStore::pageFiles)
            QVERIFY2((inodeOf(n, file) == before[{n, file}]) == (n != 2),
                     qPrintable(m_store->pathOf(lesson, n, file)));
    const LessonStore::Lesson opened = m_store->open(lesson);
    for (int n = 1; n <= 3; ++n) {
        const LessonPage expected = LessonSamples::page(n == 2 ? 2 : 1, n, screen);
        const LessonPage read = m_store->readPage(opened, n, screen);
        QCOMPARE(read.picture, expected.picture);
        QCOMPARE(read.panelBounds, expected.panelBounds);
        QCOMPARE(read.text, expected.text);
    }
    LaterRemoval::waitUntilDone();
    QCOMPARE(QDir(m_store->directory()).entryList(QDir::Files).size(), 1 + 3 * 3);
}

void LessonStoreTest::missingOrDamagedFilesOpenWithDefaults_data()
{
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QByteArray>("content"); // empty: the file is removed
    QTest::newRow("no .sec: kind none, default bounds") << ".sec" << QByteArray();
    QTest::newRow(".sec of another section") << ".sec" << QByteArray("[other]\r\nvis=1\r\n");
    QTest::newRow(".sec with an unknown kind") << ".sec" << QByteArray("[edit]\r\nvis=7\r\n");
    QTest::newRow("no .pte: no picture") << ".pte" << QByteArray();
    QTest::newRow(".pte that is no picture") << ".pte" << QByteArray("not a picture");
    QTest::newRow("no .te: no text") << ".te" << QByteArray();
    // Nothing waits on a named pipe put under a page file's name.
    QTest::newRow(".pte that is a pipe") << ".pte" << QByteArray("pipe");
    QTest::newRow(".te that is a pipe") << ".te" << QByteArray("pipe");
}

void LessonStoreTest::missingOrDamagedFilesOpenWithDefaults()
{
    QFETCH(QString, extension);
    QFETCH(QByteArray, content);
    QCOMPARE(save(*m_store, 1, 2), QString());
    const QString path = m_store->directory() + lesson + "1" + extension;
    QVERIFY(QFile::remove(path));
    if (content == "pipe")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    else if (!content.isEmpty())
        FileContents::write(path, content);

    const LessonStore::Lesson opened = m_store->open(lesson);
    QCOMPARE(opened.pageCount, 2);
    const LessonPage read = m_store->readPage(opened, 1, screen);
    const LessonPage saved = LessonSamples::page(1, 1, screen);
    if (extension == ".sec") {
        QCOMPARE(read.contentKind, ContentKind::None);
        if (!content.contains("vis=7"))
            QCOMPARE(read.panelBounds, QRect(0, 40, 368, screen.height() - 40));
    } else {
        QCOMPARE(read.contentKind, saved.contentKind);
        QCOMPARE(read.panelBounds, saved.panelBounds);
    }
    QCOMPARE(read.picture.isNull(), extension == ".pte");
    QCOMPARE(read.text, extension == ".te" ? QByteArray() : saved.text);
    // The other page is untouched by it.
    QCOMPARE(m_store->readPage(opened, 2, screen).picture,
             LessonSamples::page(1, 2, screen).picture);
}

void LessonStoreTest::pictureOfALargerScreenIsRead()
{
    // A lesson saved at 1920 x 1080 opens on this smaller screen: the board takes its top left.
    LessonWriter writer(*m_store, lesson, 1);
    const LessonPage saved = LessonSamples::page(1, 1, QSize(1920, 1080));
    writer.add(1, saved);
    QCOMPARE(writer.finish(), QString());
    const LessonPage read = m_store->readPage(m_store->open(lesson), 1, screen);
    QCOMPARE(read.picture, saved.picture);
}

void LessonStoreTest::pageCountFromTheIndex_data()
{
    QTest::addColumn<QByteArray>("index");
    QTest::addColumn<int>("pages");
    QTest::newRow("the lesson's pag") << QByteArray("[李213]\r\npag=2\r\n") << 2;
    QTest::newRow("lesson missing from the index") << QByteArray("[李214]\r\npag=2\r\n") << 0;
    QTest::newRow("more than 99 pages: the first 99") << QByteArray("[李213]\r\npag=150\r\n") << 99;
    QTest::newRow("a negative count") << QByteArray("[李213]\r\npag=-4\r\n") << 0;
}

void LessonStoreTest::pageCountFromTheIndex()
{
    QFETCH(QByteArray, index);
    QFETCH(int, pages);
    FileContents::write(m_store->indexPath(), *Gbk::encode(QString::fromUtf8(index)));
    QCOMPARE(m_store->open(lesson).pageCount, pages);
}

void LessonStoreTest::namesThatCannotNameFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("valid");
    QTest::newRow("teacher, volume, lesson") << "李213" << true;
    QTest::newRow("dots are only dots in a file name") << "..11" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("a slash leads out of the store") << "../../etc/x11" << false;
    QTest::newRow("a backslash") << "a\\b11" << false;
    QTest::newRow("a bracket breaks the index") << "a]b11" << false;
    QTest::newRow("a line break") << "a\nb11" << false;
    QTest::newRow("a character GBK lacks") << "a😀11" << false;
    QTest::newRow("longer than a file name") << QString(81, QChar(0x674E)) << false;
}

void LessonStoreTest::namesThatCannotNameFiles()
{
    QFETCH(QString, name);
    QFETCH(bool, valid);
    QCOMPARE(LessonStore::isValidName(name), valid);
}

void LessonStoreTest::refusedWriteKeepsTheOldLesson_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("reason");
    QTest::newRow("read-only directory") << "read-only"
                                         << "磁盘是只读的或不允许写入";
    QTest::newRow("disk full (file size limit)") << "full"
                                                 << "磁盘已满";
}

void LessonStoreTest::refusedWriteKeepsTheOldLesson()
{
    QFETCH(QString, how);
    QFETCH(QString, reason);
    QCOMPARE(save(*m_store, 1, 3), QString());
    const QByteArray index = FileContents::of(m_store->indexPath());

    QString message;
    if (how == "read-only") {
        if (!LessonSamples::refuseWrites(m_store->directory(), true))
            QSKIP("directories cannot be made read-only here");
        message = save(*m_store, 2, 4);
    } else {
        // No file may grow beyond 40 kB, as when the disk fills while the pages are written:
        // page 1's picture fits, the noise of the later ones does not.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit old = limit;
        limit.rlim_cur = 40000;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
        message = save(*m_store, 2, 4);
        setrlimit(RLIMIT_FSIZE, &old);
    }
    LessonSamples::refuseWrites(m_store->directory(), false);

    QVERIFY2(message.startsWith("无法写入文件 " + m_store->directory() + lesson),
             qPrintable(message));
    QVERIFY2(message.contains(".pte：" + reason + "。"), qPrintable(message));
    QVERIFY(message.endsWith("课程没有保存，原来的课程保持不变。"));
    QCOMPARE(FileContents::of(m_store->indexPath()), index);
    QVERIFY(opensAs(*m_store, 1, 3));
    QCOMPARE(savingFiles(*m_store), QStringList());
}

void LessonStoreTest::committedSaveIsReadUntilItCanBePutInPlace()
{
    QCOMPARE(save(*m_store, 1, 3), QString());
    // The store stops taking writes right after the commit, before any file is in place.
    bool refused = true;
    LessonWriter writer(*m_store, lesson, 2);
    writer.setCheckpoint([&](const QString& step) {
        if (step == "committed")
            refused = LessonSamples::refuseWrites(m_store->directory(), true);
    });
    for (int n = 1; n <= 2; ++n)
        writer.add(n, LessonSamples::page(2, n, screen));
    const QString message = writer.finish();
    if (!refused)
        QSKIP("directories cannot be made read-only here");
    QVERIFY2(message.startsWith("Unable to write to "), qPrintable(message));

    // The committed save is the lesson: it opens from the files that wait for their place.
    QVERIFY(m_store->open(lesson).readsSaving);
    QVERIFY(opensAs(*m_store, 2, 2));
    QVERIFY(!savingFiles(*m_store).isEmpty());
    // Once the store takes writes, opening puts it in place.
    LessonSamples::refuseWrites(m_store->directory(), false);
    QVERIFY(opensAs(*m_store, 2, 2));
    QCOMPARE(m_store->open(lesson).readsSaving, false);
    QCOMPARE(FileContents::of(m_store->indexPath()), *Gbk::encode("[李213]\r\npag=2\r\n"));
    QCOMPARE(savingFiles(*m_store), QStringList());
}

// The files of page 1 of 李213 are named as those of page 31 of 李21. Opening 李21 (which removes
// what no commit of 李21 names) while a committed save of 李213 waits to be put in place leaves
// that save whole.
void LessonStoreTest::committedSaveIsNotTakenByAShorterName()
{
    QCOMPARE(save(*m_store, 1, 3), QString());
    {
        LessonWriter writer(*m_store, lesson, 4);
        writer.setCheckpoint([](const QString& step) {
            if (step == "committed")
                throw std::runtime_error("cut short after the commit");
        });
        for (int n = 1; n <= 4; ++n)
            writer.add(n, LessonSamples::page(2, n, screen));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, writer.finish());
    }
    for (int n = 1; n <= 4; ++n)
        QVERIFY(QFileInfo::exists(
            LessonStore::savingPath(m_store->pathOf(lesson, n, LessonStore::PageFile::Picture))));
    QCOMPARE(m_store->open(QStringLiteral("李21")).pageCount, 0);
    QVERIFY(opensAs(*m_store, 2, 4));
    QCOMPARE(savingFiles(*m_store), QStringList());
}

void LessonStoreTest::killedSavesLeaveTheOldLessonOrTheNew()
{
    // Version 0 is saved whole; versions 1 to 20 are saved by a child process killed at a random
    // step: right after a page's files are written, the commit, a page put in place or the index
    // written (the child waits there), or anywhere after it (the child runs on). Each time the
    // lesson opens as the last version saved whole or as the new one, with all its pages.
    const auto pagesOf = [](int version) { return 2 + (version * 7) % 5; };
    QCOMPARE(save(*m_store, 0, pagesOf(0)), QString());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ZKALTO_DRIVES", "E=" + m_root->path());
    // The child's drive C and its configuration lie in the test's directory, not the user's.
    environment.insert("XDG_DATA_HOME", m_root->path() + "/data");
    environment.insert("XDG_CONFIG_HOME", m_root->path() + "/config");
    const QString child = QCoreApplication::applicationDirPath() + "/lesson_save_child";
    const quint32 seed = QRandomGenerator::global()->generate();
    qInfo("kill points from seed %u", seed);
    QRandomGenerator random(seed);
    int whole = 0;
    for (int version = 1; version <= 20; ++version) {
        const int pages = pagesOf(version);
        const bool stepwise = version % 2 == 1;
        // Each page written and put in place, the commit and the index.
        const int killAt = 1 + int(random.bounded(2 * pages + 2));
        QProcess save;
        save.setProcessEnvironment(environment);
        save.start(child, {lesson, QString::number(version), QString::number(pages),
                           stepwise ? "step" : "free"});
        QVERIFY(save.waitForStarted());
        int steps = 0;
        bool killed = false;
        while (!killed && (save.canReadLine() || save.waitForReadyRead(60000))) {
            while (!killed && save.canReadLine()) {
                const QByteArray line = save.readLine().trimmed();
                if (line == "saved")
                    continue;
                if (++steps == killAt) {
                    save.kill();
                    killed = true;
                } else if (stepwise) {
                    save.write("go\n");
                }
            }
        }
        save.waitForFinished();
        QVERIFY2(killed || save.exitCode() == 0, save.readAllStandardError().constData());
        if (opensAs(*m_store, version, pages)) {
            whole = version;
        } else {
            QVERIFY2(opensAs(*m_store, whole, pagesOf(whole)),
                     qPrintable(QStringLiteral("version %1 killed at step %2 of %3")
                                    .arg(version)
                                    .arg(killAt)
                                    .arg(2 * pages + 2)));
        }
    }
}

QTEST_GUILESS_MAIN(LessonStoreTest)
#include "LessonStoreTest.moc"
