// Scanned pages on the board: their size on the screen, which part of the scan they show, the
// temporary files, and the continuation of a picture taller than the screen on the next page.

#include "acquire/ScanPlacement.h"
#include "board/model/BoardModel.h"
#include "platform/fakes/ScriptedPrompter.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QColor top(200, 0, 0);
const QColor bottom(0, 0, 200);

// An A4 page at 300 dpi: its upper half red, its lower half blue.
QImage a4Scan()
{
    QImage scan(2480, 3508, QImage::Format_RGB32);
    scan.fill(bottom);
    for (int y = 0; y < 3508 / 2; ++y)
        std::fill_n(reinterpret_cast<QRgb*>(scan.scanLine(y)), 2480, top.rgb());
    return scan;
}

struct Board {
    QTemporaryDir directory;
    ScriptedPrompter prompter;
    BoardModel model;

    explicit Board(QSize screen) : model(screen, directory.path() + QLatin1Char('/'), prompter)
    {
        model.makeCurrentPageReady();
    }
    QString programDirectory() const { return directory.path() + QLatin1Char('/'); }
    PageState state(int page) { return model.pages().page(page).state; }
};

} // namespace

class ScanPlacementTest : public QObject {
    Q_OBJECT
private slots:
    void sizeOnScreen_data();
    void sizeOnScreen();
    void placesScanAsFloatingPicture_data();
    void placesScanAsFloatingPicture();
    void continuesOnExistingNextPage();
    void noContinuationAfterPage99();
};

void ScanPlacementTest::sizeOnScreen_data()
{
    QTest::addColumn<QSize>("scan");
    QTest::addColumn<ScanPageMode>("mode");
    QTest::addColumn<QSize>("size");
    QTest::newRow("A4, one page") << QSize(2480, 3508) << ScanPageMode::Single << QSize(1074, 768);
    QTest::newRow("A4, two pages")
        << QSize(2480, 3508) << ScanPageMode::Double << QSize(1074, 1519);
    // Below a scan shorter than the screen there is nothing to show.
    QTest::newRow("wide photo, one page")
        << QSize(3000, 1000) << ScanPageMode::Single << QSize(1074, 358);
    QTest::newRow("wide photo, two pages")
        << QSize(3000, 1000) << ScanPageMode::Double << QSize(1074, 358);
    QTest::newRow("narrow strip enlarged")
        << QSize(100, 50) << ScanPageMode::Single << QSize(1074, 537);
}

void ScanPlacementTest::sizeOnScreen()
{
    QFETCH(QSize, scan);
    QFETCH(ScanPageMode, mode);
    QFETCH(QSize, size);
    QCOMPARE(ScanPlacement::pictureSize(scan, QSize(1024, 768), mode), size);
}

void ScanPlacementTest::placesScanAsFloatingPicture_data()
{
    QTest::addColumn<ScanPageMode>("mode");
    QTest::newRow("one page") << ScanPageMode::Single;
    QTest::newRow("two pages") << ScanPageMode::Double;
}

void ScanPlacementTest::placesScanAsFloatingPicture()
{
    QFETCH(ScanPageMode, mode);
    const bool twoPages = mode == ScanPageMode::Double;
    Board board(QSize(1024, 768));
    QFile old(board.programDirectory() + QStringLiteral("tmp.bmp"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.close();

    ScanPlacement::place(board.model, a4Scan(), mode, board.programDirectory());

    const FloatingPicture& picture = board.model.floatingPicture();
    QVERIFY(picture.isShown());
    QVERIFY(picture.exactPlacement());
    QCOMPARE(picture.geometry(), QRect(-5, 35, 1074, twoPages ? 1519 : 768));
    QVERIFY(!QFile::exists(board.programDirectory() + QStringLiteral("tmp.bmp")));
    QCOMPARE(QImage(board.programDirectory() + QStringLiteral("tmp.bmt")).size(),
             picture.geometry().size());
    // One page shows the top 768 / s = 1773.4 rows of the scan, whose upper 1754 are red.
    const QImage& shown = picture.picture();
    QCOMPARE(shown.pixelColor(500, 700), top);
    QCOMPARE(shown.pixelColor(500, 767), bottom);
    QCOMPARE(shown.pixelColor(500, shown.height() - 1), bottom);

    // The taller picture goes on at the top of the next page, which the turn adds.
    QCOMPARE(picture.tag(), twoPages ? 2 : 0);
    board.model.turnRight();
    if (twoPages) {
        QCOMPARE(board.model.pages().currentPage(), 2);
        QVERIFY(picture.isShown());
        QCOMPARE(picture.geometry(), QRect(-5, 90 - 768, 1074, 1519));
        QCOMPARE(board.state(2), PageState::WrittenOn);
    } else {
        QCOMPARE(board.model.pages().currentPage(), 1);
        QVERIFY(!picture.isShown());
    }
}

void ScanPlacementTest::continuesOnExistingNextPage()
{
    Board board(QSize(320, 240));
    board.model.pages().addPage(Qt::white);
    board.model.pages().setCurrentPage(1);
    ScanPlacement::place(board.model, a4Scan(), ScanPageMode::Double, board.programDirectory());
    QCOMPARE(board.model.floatingPicture().tag(), 2);
    QCOMPARE(board.state(2), PageState::WrittenOn);
    QCOMPARE(board.state(1), PageState::NeverFilled);
}

void ScanPlacementTest::noContinuationAfterPage99()
{
    Board board(QSize(160, 120));
    while (board.model.pages().pageCount() < PageStore::maxPages)
        board.model.pages().addPage(Qt::white);
    QCOMPARE(board.model.pages().currentPage(), 99);
    ScanPlacement::place(board.model, a4Scan(), ScanPageMode::Double, board.programDirectory());
    QCOMPARE(board.model.floatingPicture().geometry().height(), 297);
    QCOMPARE(board.model.floatingPicture().tag(), 0);
    QCOMPARE(board.state(99), PageState::NeverFilled);
    board.model.turnRight();
    QCOMPARE(board.model.pages().pageCount(), 99);
    QVERIFY(!board.model.floatingPicture().isShown());
}

QTEST_MAIN(ScanPlacementTest)
#include "ScanPlacementTest.moc"
