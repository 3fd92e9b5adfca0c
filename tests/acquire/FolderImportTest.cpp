// The folder and single-file imports into the picture column: rows and list entries in name
// order, progress texts on the two windows, damaged and hostile files, the limit of 999, empty and
// vanished folders, "浏览" after a folder import and while one runs, and a new import replacing a
// running one.

#include "PictureFiles.h"

#include "acquire/FolderImport.h"
#include "board/content/PictureColumn.h"
#include "platform/fakes/ScriptedPrompter.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace PictureFiles;

namespace {

// Everything one import test works on: the column, the import, a program directory for
// "tmp.bmt" and a place for picture folders.
struct Importing {
    QTemporaryDir directory;
    ScriptedPrompter prompter;
    PictureColumn column;
    FolderImport import{column, prompter, directory.path() + QStringLiteral("/")};
    QSignalSpy finished{&import, &FolderImport::finished};
    QStringList buttonTexts;

    Importing()
    {
        QObject::connect(&import, &FolderImport::buttonTextChanged, &import,
                         [this] { buttonTexts.append(import.buttonText()); });
    }

    QString folder(const QString& name) const
    {
        QDir(directory.path()).mkpath(name);
        return directory.filePath(name);
    }
    // Runs "导入" on folder and waits for its last thumbnail.
    bool importFolder(const QString& folder)
    {
        import.setFolder(folder);
        const qsizetype before = finished.count();
        import.importFolder();
        return finished.count() > before || finished.wait(60000);
    }
    bool waitUntilIdle()
    {
        return QTest::qWaitFor([this] { return !import.isRunning(); }, 60000);
    }
};

// a.png (wide), b.jpg, c.gif (tall), d.jpg cut short, e.jpg claiming 60000 x 60000, F.PNG; and a
// text file the mask leaves out.
QString writeMixedFolder(Importing& test)
{
    const QString folder = test.folder(QStringLiteral("mixed"));
    const QByteArray jpeg = encoded(solid(QSize(640, 480), Qt::blue), "jpeg");
    const QDir dir(folder);
    write(dir.filePath("a.png"), encoded(solid(QSize(400, 100), Qt::red), "png"));
    write(dir.filePath("b.jpg"), jpeg);
    QFile::copy(QStringLiteral(ZKALTO_TEST_DATA "/pictures/tall.gif"), dir.filePath("c.gif"));
    write(dir.filePath("d.jpg"), jpeg.left(jpeg.size() / 2));
    write(dir.filePath("e.jpg"), withClaimedSize(jpeg, 60000, 60000));
    write(dir.filePath("F.PNG"), encoded(solid(QSize(50, 50), Qt::green), "png"));
    write(dir.filePath("notes.txt"), "not a picture");
    return folder;
}

// count copies of one tiny picture, named p0000.png, p0001.png, ...
QString writeManyPictures(Importing& test, const QString& name, int count)
{
    const QString folder = test.folder(name);
    const QByteArray png = encoded(solid(QSize(3, 2), Qt::darkCyan), "png");
    for (int i = 0; i < count; ++i)
        write(QDir(folder).filePath(QStringLiteral("p%1.png").arg(i, 4, 10, QLatin1Char('0'))),
              png);
    return folder;
}

QStringList pathsIn(const QString& folder, const QStringList& names)
{
    QStringList paths;
    for (const QString& name : names)
        paths.append(QDir(folder).filePath(name));
    return paths;
}

} // namespace

class FolderImportTest : public QObject {
    Q_OBJECT
private slots:
    void mixedFolder_data();
    void mixedFolder();
    void takesAtMost999();
    void emptyOrVanishedFolder_data();
    void emptyOrVanishedFolder();
    void browseAfterFolder_data();
    void browseAfterFolder();
    void browseWhileImporting();
    void newImportReplacesRunningOne();
};

void FolderImportTest::mixedFolder_data()
{
    QTest::addColumn<int>("tag");
    QTest::addColumn<bool>("countOnImportWindow");
    QTest::newRow("first fill: count on the settings button window") << 0 << false;
    QTest::newRow("after the settings were confirmed") << -1 << false;
    QTest::newRow("filled before: count on the import window") << 1 << true;
}

void FolderImportTest::mixedFolder()
{
    QFETCH(int, tag);
    QFETCH(bool, countOnImportWindow);
    Importing test;
    const QString folder = writeMixedFolder(test);
    const QStringList names = {"a.png", "b.jpg", "c.gif", "d.jpg", "e.jpg", "F.PNG"};
    QCOMPARE(FolderImport::pictureFiles(folder), names);

    test.column.setTag(tag);
    QVERIFY(test.importFolder(folder));
    QCOMPARE(test.column.pictureList(), pathsIn(folder, names));
    QCOMPARE(test.column.pictureCount(), 6);
    QCOMPARE(test.column.height(), 6 * 105);
    // Unreadable files keep their rows, empty.
    const QList<bool> hasThumbnail = {true, true, true, false, false, true};
    for (int k = 0; k < 6; ++k)
        QCOMPARE(!test.column.thumbnail(k).isNull(), hasThumbnail[k]);
    const QImage wide = test.column.thumbnail(0);
    QCOMPARE(wide.pixel(50, 10), 0u);
    QCOMPARE(wide.pixel(50, 50), qRgb(255, 0, 0));
    QCOMPARE(qAlpha(test.column.thumbnail(2).pixel(10, 50)), 0);
    QCOMPARE(qAlpha(test.column.thumbnail(2).pixel(50, 50)), 255);

    QCOMPARE(test.import.totalText(), QStringLiteral("总共有6个图像文件。  "));
    QCOMPARE(test.import.unreadableText(), QStringLiteral("未能读取：e.jpg 等2个文件"));
    if (countOnImportWindow) {
        QCOMPARE(test.import.importedText(), QStringLiteral("已导入6个图像文件。  "));
        QCOMPARE(test.buttonTexts, QStringList{QStringLiteral("已导入6个文件。  ")});
    } else {
        QCOMPARE(test.import.importedText(), QStringLiteral("已导入0个图像文件。  "));
        QStringList counted;
        for (int k = 1; k <= 6; ++k)
            counted.append(QStringLiteral("已导入%1个文件。  ").arg(k));
        QCOMPARE(test.buttonTexts, counted);
    }
    QCOMPARE(test.import.buttonText(), QStringLiteral("已导入6个文件。  "));
    QVERIFY(test.prompter.unexpected().isEmpty());
}

void FolderImportTest::takesAtMost999()
{
    Importing test;
    const QString folder = writeManyPictures(test, QStringLiteral("many"), 1200);
    QVERIFY(test.importFolder(folder));
    QCOMPARE(test.import.totalText(), QStringLiteral("总共有1200个图像文件。  "));
    QCOMPARE(test.column.rowCount(), 999);
    QCOMPARE(test.column.pictureList().size(), 999);
    QCOMPARE(test.column.pictureList().constLast(), QDir(folder).filePath("p0998.png"));
    QCOMPARE(test.column.height(), 999 * 105);
    QCOMPARE(test.column.pictureCount(), 999);
    QVERIFY(!test.column.thumbnail(998).isNull());
    QCOMPARE(test.import.buttonText(), QStringLiteral("已导入999个文件。  "));
    QVERIFY(test.import.unreadableText().isEmpty());
}

void FolderImportTest::emptyOrVanishedFolder_data()
{
    QTest::addColumn<bool>("exists");
    QTest::newRow("empty folder") << true;
    QTest::newRow("folder no longer on disk") << false;
}

void FolderImportTest::emptyOrVanishedFolder()
{
    QFETCH(bool, exists);
    Importing test;
    QVERIFY(test.importFolder(writeMixedFolder(test)));
    QString folder = test.directory.filePath(QStringLiteral("nothing"));
    if (exists)
        folder = test.folder(QStringLiteral("nothing"));

    QVERIFY(test.importFolder(folder));
    QVERIFY(!test.import.isRunning());
    QCOMPARE(test.column.height(), 0);
    QVERIFY(test.column.pictureList().isEmpty());
    QCOMPARE(test.column.pictureCount(), 6); // left as it was
    QCOMPARE(test.import.totalText(), QStringLiteral("总共有0个图像文件。  "));
    QCOMPARE(test.import.buttonText(), QStringLiteral("已导入0个文件。  "));
    QVERIFY(test.import.unreadableText().isEmpty());
}

void FolderImportTest::browseAfterFolder_data()
{
    QTest::addColumn<bool>("paletteReopened");
    QTest::newRow("palette still open") << false;
    // The palette sets the count back to 0; the next picture still goes after the shown ones.
    QTest::newRow("palette reopened") << true;
}

void FolderImportTest::browseAfterFolder()
{
    QFETCH(bool, paletteReopened);
    Importing test;
    QVERIFY(test.importFolder(writeManyPictures(test, QStringLiteral("five"), 5)));
    if (paletteReopened)
        test.column.resetPictureCount();

    // Cancelled: nothing happens.
    test.prompter.answerOpenFile(QString());
    test.import.importFile();
    QVERIFY(!test.import.isRunning());
    QCOMPARE(test.column.pictureList().size(), 5);

    const QString chosen = test.directory.filePath(QStringLiteral("chosen.bmp"));
    write(chosen, encoded(solid(QSize(80, 120), Qt::yellow), "bmp"));
    test.prompter.answerOpenFile(chosen);
    test.import.importFile();
    QVERIFY(test.waitUntilIdle());
    QCOMPARE(test.column.pictureList().size(), 6);
    QCOMPARE(test.column.entryAt(525), chosen);
    QCOMPARE(test.column.entryAt(624), chosen);
    QCOMPARE(test.column.thumbnail(5).pixel(50, 50), qRgb(255, 255, 0));
    QCOMPARE(test.column.height(), 625);
    QCOMPARE(test.column.pictureCount(), 6);
    QCOMPARE(test.import.totalText(), QStringLiteral("总共有6个图像文件。  "));
    QCOMPARE(test.import.importedText(), QStringLiteral("已导入6个图像文件。  "));
    const ScriptedPrompter::Question asked = test.prompter.questions().constLast();
    QCOMPARE(asked.kind, ScriptedPrompter::Kind::OpenFile);
    QCOMPARE(asked.filter, FolderImport::openFilter);
}

void FolderImportTest::browseWhileImporting()
{
    Importing test;
    const QString folder = writeManyPictures(test, QStringLiteral("forty"), 40);
    const QString chosen = test.directory.filePath(QStringLiteral("chosen.png"));
    write(chosen, encoded(solid(QSize(10, 10), Qt::magenta), "png"));
    test.import.setFolder(folder);
    test.import.importFolder();
    test.prompter.answerOpenFile(chosen);
    test.import.importFile();
    QVERIFY(test.waitUntilIdle());
    QCOMPARE(test.finished.count(), 1);
    QCOMPARE(test.column.pictureList().size(), 41);
    QCOMPARE(test.column.pictureList().constLast(), chosen);
    QCOMPARE(test.column.thumbnail(40).pixel(50, 50), qRgb(255, 0, 255));
    QCOMPARE(test.column.height(), 40 * 105 + 100);
}

void FolderImportTest::newImportReplacesRunningOne()
{
    Importing test;
    const QString many = writeManyPictures(test, QStringLiteral("many"), 300);
    const QString mixed = writeMixedFolder(test);
    test.import.setFolder(many);
    test.import.importFolder();
    QVERIFY(test.importFolder(mixed));
    QVERIFY(test.waitUntilIdle());
    QCOMPARE(test.finished.count(), 1);
    QCOMPARE(test.column.pictureList().size(), 6);
    QCOMPARE(test.column.rowCount(), 6);
    QCOMPARE(test.column.height(), 6 * 105);

    // An import that is destroyed while it runs stops its workers first.
    auto running = std::make_unique<FolderImport>(test.column, test.prompter,
                                                  test.directory.path() + QStringLiteral("/"));
    running->setFolder(many);
    running->importFolder();
    running.reset();
    QCoreApplication::processEvents();
    QCOMPARE(test.column.pictureList().size(), 0);
}

QTEST_GUILESS_MAIN(FolderImportTest)
#include "FolderImportTest.moc"
