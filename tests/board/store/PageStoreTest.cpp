#include "board/store/PageStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QSize screen(1024, 768);
const QColor grey = QColor(128, 128, 128);
} // namespace

class PageStoreTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithOneNeverFilledPage();
    void openingFillsOnlyANeverFilledPage();
    void addedPageTakesSwatchAndPreviousPanel();
    void pageTextsAreKeptAndDeleted();
    void lessonReplacesPagesAndKeepsCurrentInRange_data();
    void lessonReplacesPagesAndKeepsCurrentInRange();
    void undoSnapshotIsAnExactCopy();
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
    QCOMPARE(added.image.pixelColor(0, 0), QColor(Qt::blue));
    QCOMPARE(added.image.pixelColor(1023, 767), QColor(Qt::blue));
}

void PageStoreTest::pageTextsAreKeptAndDeleted()
{
    QTemporaryDir dir;
    PageStore store(screen, dir.path() + QLatin1Char('/'), QSize(368, 723));
    QCOMPARE(store.pageTextPath(12), dir.path() + QStringLiteral("/12"));
    QVERIFY(!store.pageText(1));

    store.savePanelState(QByteArrayLiteral("{\\rtf1 one}"), QRect(5, 50, 100, 200));
    QCOMPARE(store.pageText(1).value(), QByteArrayLiteral("{\\rtf1 one}"));
    QCOMPARE(store.current().panelBounds, QRect(5, 50, 100, 200));
    store.savePanelState(QByteArrayLiteral("{\\rtf1 two}"), QRect(5, 50, 100, 200));
    QCOMPARE(store.pageText(1).value(), QByteArrayLiteral("{\\rtf1 two}"));

    store.addPage(Qt::white);
    store.addPage(Qt::white);
    store.savePanelState(QByteArrayLiteral("three"), QRect());
    // A file of a page beyond the page count is not the store's.
    QFile other(dir.filePath(QStringLiteral("4")));
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.close();

    store.deletePageTextFiles(); // page 2 never had a file: no error
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("1"))));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("3"))));
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("4"))));
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
        QCOMPARE(page.image.pixelColor(10, 10), QColor(n * 10, 0, 0));
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

QTEST_GUILESS_MAIN(PageStoreTest)
#include "PageStoreTest.moc"
