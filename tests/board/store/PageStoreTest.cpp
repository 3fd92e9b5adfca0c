#include "board/store/PageStore.h"

#include "SamplePages.h"
#include "board/codec/PngCodec.h"
#include "board/pixels/ProbePixel.h"
#include "board/pixels/RasterCopy.h"
#include "board/store/KeptBoard.h"
#include "files/ProgramRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {
const QSize screen(1024, 768);
const QColor grey = QColor(128, 128, 128);

// Every byte of every pixel, the top byte of RGB32 pixels included.
size_t pixelHash(const QImage& image)
{
    return qHashBits(image.constBits(), size_t(image.sizeInBytes())) ^ qHash(image.size());
}
} // namespace

class PageStoreTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithOneNeverFilledPage();
    void openingFillsOnlyANeverFilledPage();
    void addedPageTakesSwatchAndPreviousPanel();
    void pageTextsAreKeptAndDeleted();
    void textsOfEndedRunsAreRemovedAtStart();
    void pageTextsAreNeverWrittenThroughLinks();
    void lessonReplacesPagesAndKeepsCurrentInRange_data();
    void lessonReplacesPagesAndKeepsCurrentInRange();
    void undoSnapshotIsAnExactCopy();
    void ninetyNinePagesKeepEveryPixel();
    void compactFormIsThePageAsItIsNow();
    void backupRestoresEveryPage();
    void keptPngIsThePageAsItIsNow_data();
    void keptPngIsThePageAsItIsNow();
    void picturePagesDecodedAheadAreThePages();
};

void PageStoreTest::startsWithOneNeverFilledPage()
{
    PageStore store(screen, QStringLiteral("/tmp/"), QSize(368, 723));
    QCOMPARE(store.pageCount(), 1);
    QCOMPARE(store.currentPage(), 1);
    QCOMPARE(store.current().state, PageState::NeverFilled);
    QCOMPARE(store.current().contentKind, ContentKind::None);
    QCOMPARE(store.current().panelBounds, QRect(0, 41, 368, 723));
    QCOMPARE(store.currentPageImage().size(), screen);
    QCOMPARE(store.scratchImage().size(), screen);
    QVERIFY(!store.underlayActive());
}

void PageStoreTest::openingFillsOnlyANeverFilledPage()
{
    PageStore store(screen, QStringLiteral("/tmp/"), QSize(368, 723));
    store.makeCurrentPageReady(grey);
    QCOMPARE(store.backgroundOf(1), grey);
    QCOMPARE(store.currentPageImage().pixelColor(0, 0), grey);
    QCOMPARE(store.current().state, PageState::NeverFilled);

    // A written page keeps what is on it.
    store.currentPageImage().setPixelColor(500, 500, Qt::red);
    store.current().state = PageState::WrittenOn;
    store.makeCurrentPageReady(Qt::white);
    QCOMPARE(store.currentPageImage().pixelColor(500, 500), QColor(Qt::red));
    QCOMPARE(store.backgroundOf(1), grey);
}

void PageStoreTest::addedPageTakesSwatchAndPreviousPanel()
{
    PageStore store(screen, QStringLiteral("/tmp/"), QSize(368, 723));
    store.current().panelBounds = QRect(200, 60, 300, 400);
    store.current().panelStamped = true;
    store.current().contentKind = ContentKind::Text;
    QCOMPARE(store.addPage(Qt::blue), 2);
    QCOMPARE(store.pageCount(), 2);
    QCOMPARE(store.currentPage(), 2);
    const Page& added = store.page(2);
    QCOMPARE(added.state, PageState::NeverFilled);
    QCOMPARE(added.contentKind, ContentKind::None);
    QVERIFY(!added.panelStamped);
    QCOMPARE(added.panelBounds, QRect(200, 60, 300, 400));
    QCOMPARE(store.pageImage(2).pixelColor(0, 0), QColor(Qt::blue));
    QCOMPARE(store.pageImage(2).pixelColor(1023, 767), QColor(Qt::blue));
}

void PageStoreTest::pageTextsAreKeptAndDeleted()
{
    QTemporaryDir dir;
    PageStore store(screen, dir.path() + QLatin1Char('/'), QSize(368, 723));
    const QString folder =
        dir.path() + QStringLiteral("/texts-") + ProgramRun::current().name() + QLatin1Char('/');
    QCOMPARE(store.pageTextPath(12), folder + QStringLiteral("12"));
    QVERIFY(!store.pageText(1));

    store.savePanelState(QByteArrayLiteral("{\\rtf1 one}"), QRect(5, 50, 100, 200));
    QCOMPARE(store.pageText(1).value(), QByteArrayLiteral("{\\rtf1 one}"));
    QCOMPARE(store.current().panelBounds, QRect(5, 50, 100, 200));
    store.savePanelState(QByteArrayLiteral("{\\rtf1 two}"), QRect(5, 50, 100, 200));
    QCOMPARE(store.pageText(1).value(), QByteArrayLiteral("{\\rtf1 two}"));

    store.addPage(Qt::white);
    // A named pipe under a page's number is no page text, and reading it does not wait.
    QCOMPARE(mkfifo(QFile::encodeName(store.pageTextPath(2)).constData(), 0600), 0);
    QVERIFY(!store.pageText(2));
    QVERIFY(QFile::remove(store.pageTextPath(2)));
    store.addPage(Qt::white);
    store.savePanelState(QByteArrayLiteral("three"), QRect());
    // The folder is its owner's alone: another user sharing the program directory reads nothing.
    QCOMPARE(QFileInfo(folder).permissions() & (QFile::ReadOther | QFile::ReadGroup),
             QFile::Permissions());
    // A file of the program directory itself is not the store's.
    QFile other(dir.filePath(QStringLiteral("4")));
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.close();

    store.deletePageTextFiles(); // page 2 never had a file: no error
    QVERIFY(!QFileInfo::exists(folder));
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("4"))));
}

void PageStoreTest::textsOfEndedRunsAreRemovedAtStart()
{
    QTemporaryDir dir;
    const QString directory = dir.path() + QLatin1Char('/');
    // A run that was killed: its process number now names another start, or no process.
    const ProgramRun ended{ProgramRun::current().processId, ProgramRun::current().startTicks + 1};
    const QString endedFolder = directory + QStringLiteral("texts-") + ended.name();
    QVERIFY(QDir().mkpath(endedFolder));
    QFile text(endedFolder + QStringLiteral("/1"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    QVERIFY(text.write("{\\rtf1 killed}") > 0);
    text.close();
    // A run that goes on (this one, as another store of it) keeps its texts.
    PageStore running(screen, directory, QSize(368, 723));
    running.savePanelState(QByteArrayLiteral("kept"), QRect());

    PageStore store(screen, directory, QSize(368, 723));
    QVERIFY(!QFileInfo::exists(endedFolder));
    QCOMPARE(store.pageText(1).value(), QByteArrayLiteral("kept"));
}

void PageStoreTest::pageTextsAreNeverWrittenThroughLinks()
{
    QTemporaryDir dir;
    QTemporaryDir outside;
    const QString victim = outside.filePath(QStringLiteral("victim"));
    QFile original(victim);
    QVERIFY(original.open(QIODevice::WriteOnly));
    QVERIFY(original.write("outside") > 0);
    original.close();
    PageStore store(screen, dir.path() + QLatin1Char('/'), QSize(368, 723));
    const QString folder = QFileInfo(store.pageTextPath(1)).absolutePath();

    // A link planted under this run's folder name, then one under a page's number inside it.
    QVERIFY(QFile::link(outside.path(), folder));
    QVERIFY(store.savePanelState(QByteArrayLiteral("one"), QRect()));
    QVERIFY(QFileInfo(folder).isDir() && !QFileInfo(folder).isSymLink());
    QVERIFY(QFile::link(victim, store.pageTextPath(2)));
    QVERIFY(!store.pageText(2)); // a link reads as no text
    store.addPage(Qt::white);
    QVERIFY(store.savePanelState(QByteArrayLiteral("two"), QRect()));
    QCOMPARE(store.pageText(2).value(), QByteArrayLiteral("two"));

    QFile unchanged(victim);
    QVERIFY(unchanged.open(QIODevice::ReadOnly));
    QCOMPARE(unchanged.readAll(), QByteArrayLiteral("outside"));
    QCOMPARE(QDir(outside.path()).entryList(QDir::Files), QStringList{"victim"});
}

void PageStoreTest::lessonReplacesPagesAndKeepsCurrentInRange_data()
{
    QTest::addColumn<int>("pagesBefore");
    QTest::addColumn<int>("currentBefore");
    QTest::addColumn<int>("lessonPages");
    QTest::addColumn<int>("currentAfter");
    QTest::newRow("three pages while on page 2") << 2 << 2 << 3 << 2;
    QTest::newRow("two pages while on page 5") << 5 << 5 << 2 << 2;
    QTest::newRow("one page while on page 1") << 1 << 1 << 1 << 1;
}

void PageStoreTest::lessonReplacesPagesAndKeepsCurrentInRange()
{
    QFETCH(int, pagesBefore);
    QFETCH(int, currentBefore);
    QFETCH(int, lessonPages);
    QFETCH(int, currentAfter);
    QTemporaryDir dir;
    PageStore store(screen, dir.path() + QLatin1Char('/'), QSize(368, 723));
    while (store.pageCount() < pagesBefore)
        store.addPage(Qt::white);
    store.setCurrentPage(currentBefore);

    // Every page had a text before; the lesson's even pages have none.
    for (int n = 1; n <= store.pageCount(); ++n) {
        store.setCurrentPage(n);
        store.savePanelState("old text", QRect(0, 41, 368, 723));
    }
    store.setCurrentPage(currentBefore);
    store.replacePages(lessonPages, [](int n) {
        QImage picture(screen, QImage::Format_RGB32);
        picture.fill(QColor(n * 10, 0, 0));
        return LessonPage{picture, ContentKind::Text, QRect(0, 40, 368, 728),
                          n % 2 ? QByteArray("text ") + QByteArray::number(n) : QByteArray()};
    });

    QCOMPARE(store.pageCount(), lessonPages);
    QCOMPARE(store.currentPage(), currentAfter);
    for (int n = 1; n <= lessonPages; ++n) {
        const Page& page = store.page(n);
        QCOMPARE(page.state, PageState::WrittenOn);
        QCOMPARE(page.contentKind, ContentKind::Text);
        QCOMPARE(page.panelBounds, QRect(0, 40, 368, 728));
        QCOMPARE(store.pageImage(n).pixelColor(10, 10), QColor(n * 10, 0, 0));
        if (n % 2)
            QCOMPARE(store.pageText(n).value(), QByteArray("text ") + QByteArray::number(n));
        else
            QVERIFY2(!store.pageText(n), "a lesson page without text keeps no text of the board's");
    }
}

void PageStoreTest::undoSnapshotIsAnExactCopy()
{
    PageStore store(screen, QStringLiteral("/tmp/"), QSize(368, 723));
    store.makeCurrentPageReady(grey);
    store.currentPageImage().setPixelColor(700, 300, Qt::yellow);
    store.takeUndoSnapshot();
    QCOMPARE(store.scratchImage(), store.currentPageImage());
    store.currentPageImage().setPixelColor(700, 300, Qt::black);
    QCOMPARE(store.scratchImage().pixelColor(700, 300), QColor(Qt::yellow));
}

// A full store: pages of every kind, visited in every order, written on between visits.
void PageStoreTest::ninetyNinePagesKeepEveryPixel()
{
    PageStore store(screen, QStringLiteral("/tmp/"), QSize(368, 723));
    store.makeCurrentPageReady(grey);
    QList<size_t> expected;
    QList<QColor> backgrounds;
    const QPoint probe = ProbePixel::background(screen);
    for (int n = 1; n <= PageStore::maxPages; ++n) {
        if (n > 1)
            QCOMPARE(store.addPage(QColor(n, 2 * n, 255 - n)), n);
        QCOMPARE(store.backgroundOf(n), QColor(n == 1 ? grey : QColor(n, 2 * n, 255 - n)));
        const SamplePages::Kind kind = SamplePages::AllKinds[n % 5];
        const QImage content = SamplePages::make(kind, screen, n);
        RasterCopy::copy(content, content.rect(), store.currentPageImage(), QPoint());
        store.current().state = PageState::WrittenOn;
        store.current().contentKind = ContentKind(n % 3);
        store.current().panelBounds = QRect(n, 41, 368, 700);
        expected.append(pixelHash(content));
        backgrounds.append(content.pixelColor(probe));
    }
    QCOMPARE(store.pageCount(), 99);
    QCOMPARE(store.currentPage(), 99);

    auto check = [&](int n) {
        QCOMPARE(pixelHash(store.pageImage(n)), expected[n - 1]);
        QCOMPARE(store.backgroundOf(n), backgrounds[n - 1]);
        QCOMPARE(store.page(n).state, PageState::WrittenOn);
        QCOMPARE(store.page(n).contentKind, ContentKind(n % 3));
        QCOMPARE(store.page(n).panelBounds, QRect(n, 41, 368, 700));
    };
    for (int n = 99; n >= 1; --n) {
        store.setCurrentPage(n);
        QCOMPARE(store.currentPage(), n);
        QCOMPARE(pixelHash(store.currentPageImage()), expected[n - 1]);
        check(n);
        check(100 - n); // any page reads right, current or not
    }

    // Ink on a page stays through page turns; so does a page turned without a change.
    store.setCurrentPage(50);
    store.currentPageImage().setPixelColor(500, 500, Qt::magenta);
    expected[49] = pixelHash(store.currentPageImage());
    store.takeUndoSnapshot();
    QCOMPARE(store.scratchImage(), store.currentPageImage());
    store.setCurrentPage(51);
    store.setCurrentPage(50);
    QCOMPARE(store.currentPageImage().pixelColor(500, 500), QColor(Qt::magenta));
    store.setCurrentPage(51);
    store.setCurrentPage(50);
    check(50);
    // A page read out is a copy: changing it leaves the page alone.
    QImage copy = store.pageImage(50);
    copy.fill(Qt::red);
    QImage other = store.pageImage(51);
    other.fill(Qt::red);
    store.setCurrentPage(51);
    check(50);
    check(51);

    // A page painted over in place is kept so.
    {
        QPainter painter(&store.currentPageImage());
        painter.fillRect(QRect(QPoint(), screen), grey);
    }
    store.setCurrentPage(1);
    QCOMPARE(store.pageImage(51).pixelColor(700, 700), grey);
    QCOMPARE(store.backgroundOf(51), grey);
    store.setCurrentPage(120);
    QCOMPARE(store.currentPage(), 99);

    // A lesson of 99 pages replaces them all.
    QTemporaryDir dir;
    PageStore opened(screen, dir.path() + QLatin1Char('/'), QSize(368, 723));
    expected.clear();
    for (int n = 1; n <= PageStore::maxPages; ++n)
        expected.append(pixelHash(SamplePages::make(SamplePages::AllKinds[n % 5], screen, n)));
    opened.replacePages(PageStore::maxPages, [](int n) {
        return LessonPage{SamplePages::make(SamplePages::AllKinds[n % 5], screen, n),
                          ContentKind::None,
                          QRect(0, 40, 368, 728),
                          {}};
    });
    QCOMPARE(opened.pageCount(), 99);
    for (int n : {1, 99, 2, 50, 98})
        opened.setCurrentPage(n);
    for (int n = 1; n <= PageStore::maxPages; ++n)
        QCOMPARE(pixelHash(opened.pageImage(n)), expected[n - 1]);
}

void PageStoreTest::compactFormIsThePageAsItIsNow()
{
    // A backup takes the compact form where there is one: it must never be older than the page.
    PageStore store(screen, QStringLiteral("/tmp/"), QSize(368, 723));
    QVERIFY(!store.compactPage(1)); // never left: there is none yet
    store.currentPageImage().fill(Qt::white);
    store.addPage(grey);
    const auto added = store.compactPage(2);
    QVERIFY(added);
    QCOMPARE(added->toImage(), store.pageImage(2));
    QCOMPARE(store.compactPage(1)->toImage(), store.pageImage(1));

    store.currentPageImage().setPixel(5, 5, 0xff123456u);
    QVERIFY(!store.compactPage(2)); // written on since it became current
    store.setCurrentPage(1);
    QCOMPARE(store.compactPage(2)->pixel(QPoint(5, 5)), 0xff123456u);
    QVERIFY(store.compactPage(1)); // current, untouched
    // A copy kept by a backup stays as it was while the page goes on.
    const CompactPage kept = *store.compactPage(1);
    store.currentPageImage().fill(Qt::red);
    store.setCurrentPage(2);
    QCOMPARE(kept.toImage().pixelColor(0, 0), QColor(Qt::white));
    QVERIFY(!store.compactPage(1)->isCopyOf(kept));
}

void PageStoreTest::backupRestoresEveryPage()
{
    QTemporaryDir dir;
    PageStore store(screen, dir.path() + QLatin1Char('/'), QSize(368, 723));
    for (int n = 1; n <= 3; ++n) {
        if (n > 1)
            store.addPage(grey);
        store.savePanelState("stale", QRect());
    }
    KeptBoard kept;
    kept.currentPage = 2;
    kept.records = {{PageState::WrittenOn, ContentKind::Text, QRect(0, 41, 300, 200), true},
                    {PageState::Cleared, ContentKind::None, QRect(10, 50, 368, 500), false}};
    kept.pixels = {CompactPage(SamplePages::make(SamplePages::Kind::Strokes, screen)),
                   CompactPage(SamplePages::make(SamplePages::Kind::Photo, screen))};
    kept.texts = {QByteArray("{\\rtf1 kept}"), std::nullopt};
    store.restorePages(kept);

    QCOMPARE(store.pageCount(), 2);
    QCOMPARE(store.currentPage(), 2);
    QCOMPARE(store.currentPageImage(), kept.pixels[1].toImage());
    QCOMPARE(store.pageImage(1), kept.pixels[0].toImage());
    QCOMPARE(store.page(1).panelBounds, QRect(0, 41, 300, 200));
    QVERIFY(store.page(1).panelStamped);
    QCOMPARE(store.page(2).state, PageState::Cleared);
    QCOMPARE(store.pageText(1), kept.texts[0]);
    // Texts that were not kept are gone, also those of pages beyond the restored ones.
    QVERIFY(!store.pageText(2));
    QVERIFY(!store.pageText(3));
    // The restored pages are the backup's own: nothing is encoded again.
    QVERIFY(store.compactPage(1)->isCopyOf(kept.pixels[0]));
    QVERIFY(store.compactPage(2)->isCopyOf(kept.pixels[1]));
}

void PageStoreTest::keptPngIsThePageAsItIsNow_data()
{
    QTest::addColumn<SamplePages::Kind>("kind");
    // Whiteboard pages keep their PNG in memory, pictures in a file (KeptBytes).
    QTest::newRow("strokes") << SamplePages::Kind::Strokes;
    QTest::newRow("photo") << SamplePages::Kind::Photo;
}

void PageStoreTest::keptPngIsThePageAsItIsNow()
{
    // A save writes the kept PNG as the page: it must be the page's pixels now, never older.
    QFETCH(SamplePages::Kind, kind);
    QTemporaryDir dir;
    PageStore store(screen, dir.path() + QLatin1Char('/'), QSize(368, 723));
    const QImage first = SamplePages::make(kind, screen, 1);
    RasterCopy::copy(first, first.rect(), store.currentPageImage(), QPoint());
    store.addPage(grey);
    // Left just now: its encodings may still be on their way; every read gives the page.
    QCOMPARE(store.pageImage(1), first);
    QCOMPARE(store.compactPage(1)->toImage(), first);
    store.waitUntilKept();
    QCOMPARE(store.pagePng(1).read(), PngCodec::encode(first));
    QVERIFY(store.pagePng(2).isNull()); // added to be written on: a save encodes it

    store.setCurrentPage(1);
    QCOMPARE(store.pagePng(1).read(), PngCodec::encode(first)); // current, untouched
    QPainter(&store.currentPageImage()).fillRect(QRect(10, 60, 40, 30), Qt::magenta);
    QVERIFY(store.pagePng(1).isNull());
    const QImage written = store.currentPageImage().copy();
    store.setCurrentPage(2);
    store.waitUntilKept();
    QCOMPARE(store.pagePng(1).read(), PngCodec::encode(written));

    // Pages put in place from elsewhere get their own.
    const QImage opened = SamplePages::make(kind, screen, 2);
    store.replacePages(1, [&](int) { return LessonPage{opened}; });
    store.waitUntilKept();
    QCOMPARE(store.pagePng(1).read(), PngCodec::encode(opened));
    KeptBoard kept;
    kept.records = {Page(), Page()};
    kept.pixels = {CompactPage(SamplePages::make(kind, screen, 3)), CompactPage(first)};
    kept.texts = {std::nullopt, std::nullopt};
    store.restorePages(kept);
    store.waitUntilKept();
    QCOMPARE(store.pagePng(1).read(), PngCodec::encode(kept.pixels[0].toImage()));
    QCOMPARE(store.pagePng(2).read(), PngCodec::encode(first));
}

void PageStoreTest::picturePagesDecodedAheadAreThePages()
{
    // Pictures are decoded ahead in the turn's direction while the keeper has time: the store
    // waits for it between turns here, so every turn below takes a page decoded ahead, a page
    // written on after such a turn is kept anew, and turning back finds the pages as they were.
    PageStore store(screen, QStringLiteral("/tmp/"), QSize(368, 723));
    store.makeCurrentPageReady(grey);
    QList<QImage> expected;
    for (int n = 1; n <= 5; ++n) {
        if (n > 1)
            store.addPage(grey);
        const QImage picture = SamplePages::make(
            n % 2 ? SamplePages::Kind::Photo : SamplePages::Kind::Snapshot, screen, quint32(n));
        RasterCopy::copy(picture, picture.rect(), store.currentPageImage(), QPoint());
        store.current().state = PageState::WrittenOn;
        expected.append(picture);
    }
    const auto turnTo = [&](int n) {
        store.waitUntilKept();
        store.setCurrentPage(n);
        QCOMPARE(store.currentPageImage(), expected[n - 1]);
    };
    for (int n : {4, 3, 2, 1})
        turnTo(n);
    store.currentPageImage().setPixelColor(10, 10, Qt::magenta);
    expected[0].setPixelColor(10, 10, Qt::magenta);
    for (int n : {2, 3, 2, 1, 2, 3, 4, 5, 4})
        turnTo(n);
    for (int n = 1; n <= 5; ++n)
        QCOMPARE(store.pageImage(n), expected[n - 1]);
}

QTEST_GUILESS_MAIN(PageStoreTest)
#include "PageStoreTest.moc"
