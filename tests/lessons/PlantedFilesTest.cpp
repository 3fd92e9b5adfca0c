#include "FileContents.h"
#include "LessonSamples.h"
#include "files/LaterRemoval.h"
#include "lessons/AdministratorPassword.h"
#include "lessons/LessonStore.h"
#include "lessons/LessonWriter.h"
#include "lessons/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

// A lesson store that came on a stick may hold anything under the names the program uses: links
// to files elsewhere, named pipes. Saving, opening and the administrator password never write
// outside the store, never show what lies outside, and never wait on a pipe.
class PlantedFilesTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void writesStayInTheStore_data();
    void writesStayInTheStore();
    void linkedFilesReadAsMissing_data();
    void linkedFilesReadAsMissing();
    void leftoversOfCutSavesAreRemoved();
    void storeLinkedElsewhereIsRefused();

private:
    // Every name that saving a lesson of three pages and changing the password read or write.
    QStringList namesUsed() const;
    // A file outside the store for each name, with content of its own: a link's target.
    QString outsideFileFor(const QString& name, const QByteArray& content) const;
    // What lies outside the store: every file with its content.
    QMap<QString, QByteArray> outside() const;

    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<LessonStore> m_store;
};

namespace {

const QSize screen(640, 480);
const QString lesson = QStringLiteral("李213");
const QByteArray outsideBytes = "outside the store";

QString save(const LessonStore& store, int version, int pages)
{
    LessonWriter writer(store, lesson, pages);
    for (int n = 1; n <= pages; ++n)
        writer.add(n, LessonSamples::page(version, n, screen));
    return writer.finish();
}

QString outsidePath(const QTemporaryDir& root)
{
    return root.path() + QStringLiteral("/outside/");
}

} // namespace

void PlantedFilesTest::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    m_store = std::make_unique<LessonStore>(LessonStore::directoryOn(m_root->path() + '/'));
    m_store->makeDirectory();
    QVERIFY(QDir().mkpath(outsidePath(*m_root)));
}

void PlantedFilesTest::cleanup()
{
    m_store.reset();
    m_root.reset();
}

QStringList PlantedFilesTest::namesUsed() const
{
    QStringList names{QStringLiteral("datb.sec"), QStringLiteral("sxut.dll"),
                      QFileInfo(m_store->commitPath(lesson)).fileName()};
    for (int n = 1; n <= 3; ++n)
        for (LessonStore::PageFile file : LessonStore::pageFiles) {
            const QString name = QFileInfo(m_store->pathOf(lesson, n, file)).fileName();
            names << name << LessonStore::savingPath(name);
        }
    return names;
}

QString PlantedFilesTest::outsideFileFor(const QString& name, const QByteArray& content) const
{
    const QString path = outsidePath(*m_root) + name;
    FileContents::write(path, content);
    return path;
}

QMap<QString, QByteArray> PlantedFilesTest::outside() const
{
    QMap<QString, QByteArray> files;
    const QDir directory(outsidePath(*m_root));
    for (const QString& name : directory.entryList(QDir::Files)) {
        QFile file(directory.filePath(name));
        files[name] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("unreadable");
    }
    return files;
}

void PlantedFilesTest::writesStayInTheStore_data()
{
    QTest::addColumn<bool>("pipes");
    QTest::newRow("links to files outside") << false;
    QTest::newRow("named pipes") << true;
}

void PlantedFilesTest::writesStayInTheStore()
{
    QFETCH(bool, pipes);
    const QString delivered =
        outsideFileFor(QStringLiteral("delivered.dll"), QByteArray(6000, ' '));
    for (const QString& name : namesUsed()) {
        const QString planted = m_store->directory() + name;
        if (pipes)
            QCOMPARE(::mkfifo(QFile::encodeName(planted).constData(), 0600), 0);
        else
            QVERIFY(QFile::link(outsideFileFor(name, outsideBytes), planted));
    }
    const QMap<QString, QByteArray> before = outside();

    const QString saved = save(*m_store, 1, 3);
    AdministratorPassword password(delivered, m_store->directory() + QStringLiteral("sxut.dll"));
    password.provideCopy();
    const QString changed =
        password.change(QString(), QStringLiteral("123"), QStringLiteral("123"));

    QCOMPARE(outside(), before);
    if (pipes) {
        // The index cannot be read: the save says so and waits for nothing.
        QVERIFY(!saved.isEmpty());
        return;
    }
    // Links are replaced by the store's own files, and the lesson is whole.
    QCOMPARE(saved, QString());
    QCOMPARE(changed, QString());
    QCOMPARE(password.read(), AdministratorPassword::padded(QStringLiteral("123")));
    const LessonStore::Lesson opened = m_store->open(lesson);
    QCOMPARE(opened.pageCount, 3);
    for (int n = 1; n <= 3; ++n) {
        const LessonPage expected = LessonSamples::page(1, n, screen);
        const LessonPage read = m_store->readPage(opened, n, screen);
        QCOMPARE(read.picture, expected.picture);
        QCOMPARE(read.text, expected.text);
    }
    // The links moved aside are removed behind the save.
    LaterRemoval::waitUntilDone();
    for (const QString& name :
         QDir(m_store->directory()).entryList(QDir::AllEntries | QDir::System))
        QVERIFY2(!QFileInfo(m_store->directory() + name).isSymLink(), qPrintable(name));
}

void PlantedFilesTest::linkedFilesReadAsMissing_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("index") << QStringLiteral("datb.sec");
    QTest::newRow("picture") << lesson + QStringLiteral("2.pte");
    QTest::newRow("panel record") << lesson + QStringLiteral("2.sec");
    QTest::newRow("page text") << lesson + QStringLiteral("2.te");
    QTest::newRow("commit record") << lesson + QStringLiteral(".saving");
}

void PlantedFilesTest::linkedFilesReadAsMissing()
{
    QFETCH(QString, name);
    QCOMPARE(save(*m_store, 1, 3), QString());
    // What lies outside would read as a good file of its kind under the name.
    QByteArray content = outsideBytes;
    if (name.endsWith(QLatin1String(".pte"))) {
        QImage red(screen, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(outsidePath(*m_root) + name, "PNG"));
    } else if (name.endsWith(QLatin1String(".saving"))) {
        content = "zkalto lesson save\npages=3\n";
    } else if (name == QLatin1String("datb.sec")) {
        content = "[" + lesson.toUtf8() + "]\r\npag=3\r\n";
    } else if (name.endsWith(QLatin1String(".sec"))) {
        content = "[edit]\r\nvis=2\r\nleft=300\r\ntop=300\r\nwidth=100\r\nheight=100\r\n";
    }
    const QString target = name.endsWith(QLatin1String(".pte")) ? outsidePath(*m_root) + name
                                                                : outsideFileFor(name, content);
    const QString planted = m_store->directory() + name;
    QFile::remove(planted);
    QVERIFY(QFile::link(target, planted));

    const LessonStore::Lesson opened = m_store->open(lesson);
    if (name == QLatin1String("datb.sec")) {
        QCOMPARE(opened.pageCount, 0);
        return;
    }
    QCOMPARE(opened.pageCount, 3);
    const LessonPage read = m_store->readPage(opened, 2, screen);
    const LessonPage saved = LessonSamples::page(1, 2, screen);
    if (name.endsWith(QLatin1String(".pte")))
        QVERIFY(read.picture.isNull());
    else
        QCOMPARE(read.picture, saved.picture);
    if (name.endsWith(QLatin1String(".sec")))
        QCOMPARE(read.panelBounds, QRect(0, 40, 368, screen.height() - 40));
    if (name.endsWith(QLatin1String(".te")))
        QCOMPARE(read.text, QByteArray());
    QVERIFY(!read.text.contains(outsideBytes));
}

void PlantedFilesTest::leftoversOfCutSavesAreRemoved()
{
    QCOMPARE(save(*m_store, 1, 2), QString());
    // A save cut short before its commit, and one of more pages than the committed count.
    for (int n = 1; n <= 5; ++n)
        FileContents::write(
            LessonStore::savingPath(m_store->pathOf(lesson, n, LessonStore::PageFile::Text)),
            "cut short");
    QCOMPARE(m_store->open(lesson).pageCount, 2);
    QCOMPARE(QDir(m_store->directory()).entryList({QStringLiteral("*.saving*")}, QDir::Files),
             QStringList());
}

void PlantedFilesTest::storeLinkedElsewhereIsRefused()
{
    QCOMPARE(save(*m_store, 1, 2), QString());
    // The store's "data" folder, a link to a folder outside that holds a lesson of its own.
    const QString data = m_store->directory().chopped(1);
    QVERIFY(QDir(data).removeRecursively());
    const LessonStore elsewhere(outsidePath(*m_root));
    QCOMPARE(save(elsewhere, 2, 3), QString());
    QVERIFY(QFile::link(outsidePath(*m_root), data));
    const QStringList before = QDir(outsidePath(*m_root)).entryList(QDir::Files);

    QVERIFY(!m_store->isOnItsDrive());
    QCOMPARE(m_store->open(lesson).pageCount, 0);
    QVERIFY(!save(*m_store, 3, 1).isEmpty());
    QCOMPARE(QDir(outsidePath(*m_root)).entryList(QDir::Files), before);
    QCOMPARE(elsewhere.open(lesson).pageCount, 3);
}

QTEST_GUILESS_MAIN(PlantedFilesTest)
#include "PlantedFilesTest.moc"
