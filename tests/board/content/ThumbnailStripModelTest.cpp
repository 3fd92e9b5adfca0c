#include "board/model/ThumbnailStripModel.h"
#include "board/codec/ImageCodec.h"
#include "board/model/BoardModel.h"
#include "board/pixels/ColourRef.h"
#include "platform/fakes/ScriptedPrompter.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {

const QSize screen(1024, 768);
const QColor grey(128, 128, 128);

using PagePainter = std::function<void(QImage& page, int n)>;

// Upper and lower halves of page n in colours of their own; page 2 is black above, so its
// background is black.
QColor upperColour(int n)
{
    return n == 2 ? QColor(Qt::black) : QColor(40 * n, 200, 100);
}
QColor lowerColour(int n)
{
    return QColor(200, 30 * n, 60);
}
void twoColours(QImage& page, int n)
{
    page.fill(upperColour(n));
    for (int y = screen.height() / 2; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x)
            page.setPixel(x, y, lowerColour(n).rgb());
}

// One-pixel checks and ramps: a fast stretch picks single pixels of it, a resampling averages.
void busy(QImage& page, int n)
{
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            page.setPixel(
                x, y, (x + y) % 2 ? qRgb(250, (x * n) & 0xFF, 10) : qRgb(5, 90, (y * 3) & 0xFF));
}

// A board with written pages, each painted by paint, showing page 1.
struct Board {
    QTemporaryDir directory;
    QString programDirectory = directory.path() + QLatin1Char('/');
    ScriptedPrompter prompter;
    BoardModel model{screen, programDirectory, prompter};
    ThumbnailStripModel thumbnails{model};

    Board(int pageCount, const PagePainter& paint)
    {
        model.makeCurrentPageReady();
        for (int n = 1; n <= pageCount; ++n) {
            if (n > 1)
                model.turnRight();
            paint(model.pages().currentPageImage(), n);
            model.pages().current().state = PageState::WrittenOn;
        }
        model.goToPage(1);
    }

    void openAt(int position)
    {
        thumbnails.open([] { return QImage(); });
        thumbnails.scrollTo(position);
    }

    QRgb pixel(int x, int y) const { return thumbnails.picture().pixel(x, y); }
};

// The picture as the codec resamples page to half its size with low-quality interpolation.
QImage codecHalf(const QImage& page)
{
    QImage half = ImageCodec::createBitmap(page.width() / 2, page.height() / 2);
    ImageCodec::drawScaled(half, QRectF(half.rect()), page, QRectF(page.rect()),
                           Interpolation::LowQuality);
    return half.convertToFormat(QImage::Format_RGB32);
}

bool isUniform(const QImage& image, const QRect& rect, const QColor& colour)
{
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (image.pixel(x, y) != colour.rgb())
                return false;
    return true;
}

QImage region(const QImage& image, const QRect& rect)
{
    return image.copy(rect).convertToFormat(QImage::Format_RGB32);
}

} // namespace

class ThumbnailStripModelTest : public QObject {
    Q_OBJECT
private slots:
    void stripGeometry_data();
    void stripGeometry();
    void strokesUnderTheStripStayOffThePage_data();
    void strokesUnderTheStripStayOffThePage();
    void pickingTurnsTheBoard_data();
    void pickingTurnsTheBoard();
    void pickedPageBringsItsPanelAndColours();
    void quickPassShowsThePagesAtOnce_data();
    void quickPassShowsThePagesAtOnce();
    void scrollingStaysWithinThePages();
    void fewerPagesPullThePositionBack();
    void smoothPassMatchesTheCodec_data();
    void smoothPassMatchesTheCodec();
    void staleSmoothResultsAreDropped();
    void openingStampsTheContentPanel();
    void openingWithAnUnderlayShowsThePanel();
};

void ThumbnailStripModelTest::stripGeometry_data()
{
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QRect>("strip");
    QTest::addColumn<int>("header");
    QTest::addColumn<int>("areaTop");
    QTest::addColumn<bool>("low");
    const QRect lowWithHeader(0, 366, 1024, 402);
    const QRect lowCollapsed(0, 384, 1024, 384);
    QTest::newRow("start: hidden, collapsed")
        << QStringList{} << false << lowCollapsed << 1 << 0 << true;
    QTest::newRow("first press opens with the header")
        << QStringList{"open"} << true << lowWithHeader << 18 << 18 << true;
    QTest::newRow("second press collapses the header")
        << QStringList{"open", "open"} << true << lowCollapsed << 1 << 0 << true;
    QTest::newRow("closed and opened shows the header again")
        << QStringList{"open", "open", "close", "open"} << true << lowWithHeader << 18 << 18
        << true;
    QTest::newRow("closing from high leaves it low, collapsed")
        << QStringList{"open", "up", "close"} << false << lowCollapsed << 1 << 0 << true;
    QTest::newRow("up: right under the tool strip")
        << QStringList{"open", "up"} << true << QRect(0, 41, 1024, 402) << 18 << 18 << false;
    QTest::newRow("collapsing keeps the top") << QStringList{"open", "up", "collapse"} << true
                                              << QRect(0, 41, 1024, 384) << 1 << 0 << false;
    QTest::newRow("up then down") << QStringList{"open", "up", "down"} << true << lowWithHeader
                                  << 18 << 18 << true;
    QTest::newRow("down after collapsing leaves room below")
        << QStringList{"open", "up", "collapse", "down"} << true << QRect(0, 366, 1024, 384) << 1
        << 0 << true;
    QTest::newRow("pressed while high: low again, collapsed")
        << QStringList{"open", "up", "open"} << true << lowCollapsed << 1 << 0 << true;
    QTest::newRow("a pick after the header showed: next opening shows it")
        << QStringList{"open", "pick", "open"} << true << lowWithHeader << 18 << 18 << true;
    QTest::newRow("a pick after the header collapsed: next opening collapses it")
        << QStringList{"open", "open", "pick", "open"} << true << lowCollapsed << 1 << 0 << true;
}

void ThumbnailStripModelTest::stripGeometry()
{
    QFETCH(QStringList, actions);
    Board board(2, twoColours);
    ThumbnailStripModel& thumbnails = board.thumbnails;
    const std::map<QString, std::function<void()>> act = {
        {"open", [&] { thumbnails.open([] { return QImage(); }); }},
        {"close", [&] { thumbnails.close(); }},
        {"up", [&] { thumbnails.moveUp(); }},
        {"down", [&] { thumbnails.moveDown(); }},
        {"collapse", [&] { thumbnails.collapseHeader(); }},
        {"pick", [&] { thumbnails.pick(10); }},
    };
    for (const QString& action : actions)
        act.at(action)();
    QTEST(thumbnails.isShown(), "shown");
    QTEST(thumbnails.stripGeometry(), "strip");
    QTEST(thumbnails.headerHeight(), "header");
    QFETCH(int, areaTop);
    QCOMPARE(thumbnails.areaGeometry(), QRect(0, areaTop, 1024, 384));
    QTEST(thumbnails.isLow(), "low");
}

void ThumbnailStripModelTest::strokesUnderTheStripStayOffThePage_data()
{
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QPoint>("kept");
    QTest::addColumn<QPoint>("inked");
    // The low strip covers rows 366 and below, the high one rows 41 to 442: the page takes the
    // stroke up to its edge and nothing under it.
    QTest::newRow("low strip") << QStringList{"open"} << QPoint(300, 200) << QPoint(300, 600)
                               << QPoint(300, 370) << QPoint(300, 350);
    QTest::newRow("high strip") << QStringList{"open", "up"} << QPoint(300, 300) << QPoint(300, 700)
                                << QPoint(300, 430) << QPoint(300, 460);
    QTest::newRow("closed strip") << QStringList{"open", "close"} << QPoint(300, 200)
                                  << QPoint(300, 600) << QPoint(-1, -1) << QPoint(300, 500);
}

void ThumbnailStripModelTest::strokesUnderTheStripStayOffThePage()
{
    QFETCH(QStringList, actions);
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(QPoint, kept);
    QFETCH(QPoint, inked);
    Board board(1, [](QImage& page, int) { page.fill(grey); });
    for (const QString& action : actions) {
        if (action == "open")
            board.thumbnails.open([] { return QImage(); });
        else if (action == "up")
            board.thumbnails.moveUp();
        else
            board.thumbnails.close();
    }
    board.model.press(from);
    for (int y = from.y(); y <= to.y(); y += 20)
        board.model.move(QPoint(from.x(), y));
    board.model.release(to);
    const QImage& page = board.model.pages().currentPageImage();
    if (kept.x() >= 0)
        QCOMPARE(page.pixelColor(kept), grey);
    QVERIFY(page.pixelColor(inked) != grey);
}

void ThumbnailStripModelTest::pickingTurnsTheBoard_data()
{
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("lowerHalf");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("page");
    QTest::newRow("one page: the right half is page 1") << 1 << 1 << false << 800 << 1;
    QTest::newRow("left half") << 4 << 2 << false << 100 << 2;
    QTest::newRow("the middle column is the left page's") << 4 << 2 << false << 512 << 2;
    QTest::newRow("right of the middle: the next page") << 4 << 2 << false << 513 << 3;
    QTest::newRow("last page: the right half is the last page") << 4 << 4 << false << 900 << 4;
    QTest::newRow("lower-half view: anywhere is the page shown") << 4 << 2 << true << 900 << 2;
}

void ThumbnailStripModelTest::pickingTurnsTheBoard()
{
    QFETCH(int, pages);
    QFETCH(int, position);
    QFETCH(bool, lowerHalf);
    QFETCH(int, x);
    QFETCH(int, page);
    Board board(pages, twoColours);
    board.openAt(position);
    if (lowerHalf)
        board.thumbnails.showLowerHalf();
    QSignalSpy turned(&board.model, &BoardModel::pageChanged);
    board.thumbnails.pick(x);
    QCOMPARE(board.model.pages().currentPage(), page);
    QCOMPARE(turned.count(), 1);
    QVERIFY(!board.thumbnails.isShown());
    QCOMPARE(board.model.screen().image().pixelColor(10, 700), lowerColour(page));
    QCOMPARE(board.model.pages().pageCount(), pages);
}

void ThumbnailStripModelTest::pickedPageBringsItsPanelAndColours()
{
    // Page 2 is black with a text panel of its own; the board stands on page 1 with the eraser and
    // a floating picture.
    Board board(2, twoColours);
    board.model.goToPage(2);
    const QRect panel(0, 41, 200, 300);
    board.model.pages().current().contentKind = ContentKind::Text;
    board.model.pages().current().panelBounds = panel;
    board.model.goToPage(1);
    board.model.chooseTool(ToolMode::Eraser);
    QImage picture(50, 40, QImage::Format_RGB32);
    picture.fill(Qt::yellow);
    board.model.placePicture(picture, QPoint(600, 100), false);

    board.openAt(1);
    board.thumbnails.pick(900);
    QCOMPARE(board.model.pages().currentPage(), 2);
    QVERIFY(!board.model.floatingPicture().isShown());
    QCOMPARE(board.model.pages().pageImage(1).pixelColor(620, 120), QColor(Qt::yellow));
    QCOMPARE(board.model.strokeBox().minX, 10);
    QCOMPARE(board.model.strokeBox().maxX, -10);
    QVERIFY(board.model.contentPanel().shown);
    QCOMPARE(board.model.contentPanel().bounds, panel);
    // The picked page's own background colours the text box (a turn would follow the grey
    // swatch) and the eraser.
    QCOMPARE(board.model.contentPanel().textColour, 0u);
    QCOMPARE(board.model.pen().colour, QColor(Qt::black));
}

void ThumbnailStripModelTest::quickPassShowsThePagesAtOnce_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("lowerHalf");
    QTest::addColumn<QColor>("leftTop");
    QTest::addColumn<QColor>("leftBottom");
    QTest::addColumn<QColor>("rightTop");
    QTest::addColumn<QColor>("rightBottom");
    QTest::addColumn<QColor>("divider");
    // Three pages; page 2 is black above.
    QTest::newRow("first spread") << 1 << false << upperColour(1) << lowerColour(1)
                                  << upperColour(2) << lowerColour(2) << QColor(Qt::black);
    QTest::newRow("black left page: white divider")
        << 2 << false << upperColour(2) << lowerColour(2) << upperColour(3) << lowerColour(3)
        << QColor(Qt::white);
    QTest::newRow("last page: its background on the right")
        << 3 << false << upperColour(3) << lowerColour(3) << upperColour(3) << upperColour(3)
        << QColor(Qt::black);
    QTest::newRow("lower-half view: the lower half over the whole area")
        << 2 << true << lowerColour(2) << lowerColour(2) << lowerColour(2) << lowerColour(2)
        << lowerColour(2);
}

void ThumbnailStripModelTest::quickPassShowsThePagesAtOnce()
{
    QFETCH(int, position);
    QFETCH(bool, lowerHalf);
    Board board(3, twoColours);
    if (lowerHalf)
        board.thumbnails.showLowerHalf();
    board.openAt(position);
    QCOMPARE(board.thumbnails.picture().size(), QSize(1024, 384));
    QCOMPARE(board.thumbnails.positionText(), QLatin1Char(' ') + QString::number(position));
    QTEST(QColor(board.pixel(100, 50)), "leftTop");
    QTEST(QColor(board.pixel(511, 383)), "leftBottom");
    QTEST(QColor(board.pixel(513, 0)), "rightTop");
    QTEST(QColor(board.pixel(1023, 300)), "rightBottom");
    QTEST(QColor(board.pixel(512, 100)), "divider");
}

void ThumbnailStripModelTest::scrollingStaysWithinThePages()
{
    Board board(3, twoColours);
    board.openAt(2);
    board.thumbnails.scrollTo(0);
    QCOMPARE(board.thumbnails.position(), 1);
    board.thumbnails.scrollTo(7);
    QCOMPARE(board.thumbnails.position(), 3);
    QCOMPARE(board.thumbnails.pageCount(), 3);
    // A page added while the strip is open widens the range.
    board.model.goToPage(3);
    board.model.turnRight();
    QCOMPARE(board.thumbnails.pageCount(), 4);
}

void ThumbnailStripModelTest::fewerPagesPullThePositionBack()
{
    Board board(5, twoColours);
    board.openAt(5);
    QImage small(screen, QImage::Format_RGB32);
    small.fill(Qt::cyan);
    board.model.openLesson(2, [&](int) { return LessonPage{small}; });
    QCOMPARE(board.thumbnails.position(), 2);
    QCOMPARE(board.thumbnails.pageCount(), 2);
    QCOMPARE(QColor(board.pixel(100, 100)), QColor(Qt::cyan));
}

void ThumbnailStripModelTest::smoothPassMatchesTheCodec_data()
{
    QTest::addColumn<int>("position");
    QTest::newRow("two pages") << 1;
    QTest::newRow("the last page alone") << 2;
}

void ThumbnailStripModelTest::smoothPassMatchesTheCodec()
{
    QFETCH(int, position);
    Board board(2, busy);
    board.model.goToPage(position);
    QSignalSpy finished(&board.thumbnails, &ThumbnailStripModel::smoothPassFinished);
    board.thumbnails.open([] { return QImage(); });

    // The quick pass is there at once, the smooth pass still to come.
    const QImage leftReference = codecHalf(board.model.pages().pageImage(position));
    const QRect left(0, 0, 512, 384);
    QVERIFY(board.thumbnails.smoothPassPending());
    QVERIFY(region(board.thumbnails.picture(), left) != leftReference);

    QVERIFY(finished.wait(10000));
    QVERIFY(!board.thumbnails.smoothPassPending());
    QCOMPARE(region(board.thumbnails.picture(), left), leftReference);
    // Right of the divider: the next page resampled, or the left page's background.
    const QRect right(513, 0, 511, 384);
    if (position == 1) {
        const QImage rightReference = codecHalf(board.model.pages().pageImage(2));
        QCOMPARE(region(board.thumbnails.picture(), right), rightReference.copy(1, 0, 511, 384));
    } else {
        QImage background(right.size(), QImage::Format_RGB32);
        background.fill(board.model.pages().backgroundOf(2));
        QCOMPARE(region(board.thumbnails.picture(), right), background);
    }
    QVERIFY(QFile::exists(board.programDirectory + QStringLiteral("tmp.bmt")));
}

void ThumbnailStripModelTest::staleSmoothResultsAreDropped()
{
    // Pages 1 and 2 are busy, pages 3 and 4 plain: anything resampled from 1 or 2 would show.
    const QColor third(Qt::darkGreen);
    const QColor fourth(Qt::darkBlue);
    Board board(4, [&](QImage& page, int n) {
        if (n <= 2)
            busy(page, n);
        else
            page.fill(n == 3 ? third : fourth);
    });
    board.thumbnails.open([] { return QImage(); });
    // The teacher scrolls on before the smooth pass of pages 1 and 2 is done.
    board.thumbnails.scrollTo(3);
    QVERIFY(!board.thumbnails.smoothPassPending());
    board.thumbnails.waitForWorkers();
    QVERIFY(isUniform(board.thumbnails.picture(), QRect(0, 0, 512, 384), third));
    QVERIFY(isUniform(board.thumbnails.picture(), QRect(512, 0, 1, 384), Qt::black));
    QVERIFY(isUniform(board.thumbnails.picture(), QRect(513, 0, 511, 384), fourth));
}

void ThumbnailStripModelTest::openingStampsTheContentPanel()
{
    Board board(1, twoColours);
    board.model.pages().current().contentKind = ContentKind::Text;
    board.model.goToPage(1);
    QVERIFY(board.model.contentPanel().shown);
    const QRect panel = board.model.contentPanel().bounds;
    int asked = 0;
    const auto panelPixels = [&] {
        ++asked;
        QImage pixels(panel.size(), QImage::Format_RGB32);
        pixels.fill(Qt::magenta);
        return pixels;
    };
    board.thumbnails.open(panelPixels);
    QCOMPARE(asked, 1);
    const QImage& page = board.model.pages().currentPageImage();
    QVERIFY(isUniform(page, panel, Qt::magenta));
    QCOMPARE(page.pixelColor(panel.right() + 1, 300), upperColour(1));
    QVERIFY(board.model.pages().current().panelStamped);
    QVERIFY(board.model.pages().pageText(1).has_value());
    // The page's thumbnail shows the panel.
    QCOMPARE(QColor(board.pixel(panel.center().x() / 2, panel.center().y() / 2)),
             QColor(Qt::magenta));
    // Pressing again only toggles the header.
    board.thumbnails.open(panelPixels);
    QCOMPARE(asked, 1);
}

void ThumbnailStripModelTest::openingWithAnUnderlayShowsThePanel()
{
    Board board(1, twoColours);
    QImage& underlay = board.model.pages().underlayImage();
    underlay = QImage(screen, QImage::Format_RGB32);
    underlay.fill(Qt::cyan);
    const QImage before = underlay.copy();
    board.model.pages().setUnderlayActive(true);
    QVERIFY(!board.model.contentPanel().shown);
    board.thumbnails.open([] { return QImage(); });
    QVERIFY(board.model.contentPanel().shown);
    board.thumbnails.waitForWorkers();
    QCOMPARE(board.model.pages().underlayImage(), before);
    QVERIFY(board.model.pages().underlayActive());
}

QTEST_GUILESS_MAIN(ThumbnailStripModelTest)
#include "ThumbnailStripModelTest.moc"
