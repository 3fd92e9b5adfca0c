#include "board/model/BoardModel.h"
#include "board/pixels/EdgeRect.h"
#include "board/tools/RubberBandTool.h"
#include "platform/fakes/ScriptedPrompter.h"

#include <QtTest>

namespace {
const QSize screen(1024, 768);
const QColor background(128, 128, 128);
const QColor ink(255, 0, 0);

// A board on one grey page, shown on the window, with the red pen.
struct Board {
    ScriptedPrompter prompter;
    BoardModel model{screen, QStringLiteral("/tmp/"), prompter};
    PageStore& pages = model.pages();
    const ScreenImage& surface = model.screen();

    Board()
    {
        model.setStrokeColour(ink);
        model.makeCurrentPageReady();
        model.showOnWindow();
    }

    void choose(ToolMode mode, int width)
    {
        model.setStrokeWidth(width);
        model.chooseTool(mode);
    }

    void drag(ToolMode mode, int width, const QList<QPoint>& path)
    {
        choose(mode, width);
        model.press(path.first());
        for (qsizetype i = 1; i < path.size(); ++i)
            model.move(path[i]);
        model.release(path.last());
    }

    // Ink on the window that the page does not hold yet.
    void drawOnWindow(QPoint point, const QColor& colour)
    {
        const_cast<ScreenImage&>(surface).setPixel(point, colour);
    }
};

// Pixels of rect in image that differ from colour.
int countNot(const QImage& image, const QRect& rect, const QColor& colour)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += image.pixelColor(x, y) != colour;
    return count;
}
} // namespace

Q_DECLARE_METATYPE(StrokeBox)

class BoardToolsTest : public QObject {
    Q_OBJECT
private slots:
    void measurementReadout_data();
    void measurementReadout();
    void penChoices_data();
    void penChoices();
    void penStaysBelowTheStrip();
    void clickCommitsTheSquareAroundThePress();
    void rectangleLeavesOneOutline_data();
    void rectangleLeavesOneOutline();
    void areaEraseFillsOnlyADragRightAndDown_data();
    void areaEraseFillsOnlyADragRightAndDown();
    void eraserRestoresFromTheUnderlay();
    void eraserCommitCoversItsWholeWidth();
    void releaseKeepsClearOfOpenPanels_data();
    void releaseKeepsClearOfOpenPanels();
    void onlyInkToolsMarkThePageWritten_data();
    void onlyInkToolsMarkThePageWritten();
};

void BoardToolsTest::measurementReadout_data()
{
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QString>("readout");
    QTest::newRow("rectangle 200 x 100") << QPoint(100, 100) << QPoint(300, 200) << "10，5";
    QTest::newRow("drag 200 x 50") << QPoint(100, 100) << QPoint(300, 150) << "10，2.5";
    QTest::newRow("odd pixels truncate") << QPoint(0, 0) << QPoint(21, 3) << "1，0.1";
    QTest::newRow("left and up truncate toward zero")
        << QPoint(300, 300) << QPoint(97, 277) << "-10.1，-1.1";
    QTest::newRow("no movement") << QPoint(5, 5) << QPoint(5, 5) << "0，0";
}

void BoardToolsTest::measurementReadout()
{
    QFETCH(QPoint, press);
    QFETCH(QPoint, point);
    QFETCH(QString, readout);
    QCOMPARE(RubberBandTool::measurement(press, point), readout);
}

void BoardToolsTest::penChoices_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("strokeWidth");
    QTest::addColumn<int>("penWidth");
    QTest::addColumn<bool>("dotted");
    QTest::addColumn<bool>("backgroundColoured");
    QTest::newRow("pen") << int(ToolMode::Pen) << 3 << 3 << false << false;
    QTest::newRow("ellipse") << int(ToolMode::Ellipse) << 9 << 9 << false << false;
    QTest::newRow("eraser at width 1 is 15") << int(ToolMode::Eraser) << 1 << 15 << false << true;
    QTest::newRow("eraser at width 2 is 20") << int(ToolMode::Eraser) << 2 << 20 << false << true;
    QTest::newRow("eraser at width 9 is 90") << int(ToolMode::Eraser) << 9 << 90 << false << true;
    QTest::newRow("range selection") << int(ToolMode::RangeSelection) << 5 << 1 << true << false;
    QTest::newRow("area erase") << int(ToolMode::AreaErase) << 5 << 1 << true << false;
}

void BoardToolsTest::penChoices()
{
    QFETCH(int, mode);
    QFETCH(int, strokeWidth);
    QFETCH(int, penWidth);
    QFETCH(bool, dotted);
    QFETCH(bool, backgroundColoured);
    Board board;
    board.choose(ToolMode(mode), strokeWidth);
    QCOMPARE(board.model.pen().width, penWidth);
    QCOMPARE(board.model.pen().dotted, dotted);
    QCOMPARE(board.model.pen().colour, backgroundColoured ? background : ink);
}

void BoardToolsTest::penStaysBelowTheStrip()
{
    Board board;
    board.drag(ToolMode::Pen, 2, {QPoint(100, 100), QPoint(200, 10), QPoint(400, 0)});
    const QImage& page = board.pages.currentPageImage();
    QCOMPARE(page.pixelColor(300, 40), ink);
    QCOMPARE(countNot(page, QRect(0, 0, 1024, 39), background), 0);
    QCOMPARE(board.model.strokeBox(), (StrokeBox{100, 40, 400, 100}));
    QCOMPARE(board.pages.current().state, PageState::WrittenOn);
}

void BoardToolsTest::clickCommitsTheSquareAroundThePress()
{
    Board board;
    const QImage before = board.pages.currentPageImage().copy();
    // Ink on the window that the page does not hold yet: inside and just outside the square.
    board.drawOnWindow(QPoint(509, 409), Qt::blue);
    board.drawOnWindow(QPoint(510, 400), Qt::blue);
    board.drag(ToolMode::Pen, 2, {QPoint(500, 400)});

    const QImage& page = board.pages.currentPageImage();
    QCOMPARE(board.pages.scratchImage(), before);
    QCOMPARE(page.pixelColor(509, 409), QColor(Qt::blue));
    QCOMPARE(page.pixelColor(510, 400), background);
    QCOMPARE(countNot(page, edgeRect(490, 390, 510, 410), background), 1);
    QCOMPARE(board.pages.current().state, PageState::NeverFilled);
}

void BoardToolsTest::rectangleLeavesOneOutline_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("rectangle") << int(ToolMode::Rectangle);
    QTest::newRow("ellipse") << int(ToolMode::Ellipse);
}

void BoardToolsTest::rectangleLeavesOneOutline()
{
    QFETCH(int, mode);
    Board board;
    board.drag(
        ToolMode(mode), 2,
        {QPoint(100, 100), QPoint(320, 260), QPoint(150, 120), QPoint(250, 180), QPoint(300, 200)});
    QCOMPARE(board.model.readout(), QStringLiteral("10，5"));

    // The same shape drawn once on a fresh window.
    Board reference;
    auto& window = const_cast<ScreenImage&>(reference.surface);
    if (ToolMode(mode) == ToolMode::Rectangle)
        window.drawRectangle(board.model.pen(), QPoint(100, 100), QPoint(300, 200));
    else
        window.drawEllipse(board.model.pen(), QPoint(100, 100), QPoint(300, 200));
    const QRect area(0, 40, 1024, 728);
    QCOMPARE(board.pages.currentPageImage().copy(area), reference.surface.image().copy(area));
    QCOMPARE(board.surface.image().copy(area), reference.surface.image().copy(area));
}

void BoardToolsTest::areaEraseFillsOnlyADragRightAndDown_data()
{
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QPoint>("release");
    QTest::addColumn<bool>("erased");
    QTest::newRow("right and down") << QPoint(100, 100) << QPoint(300, 200) << true;
    QTest::newRow("left and up") << QPoint(300, 200) << QPoint(100, 100) << false;
    QTest::newRow("right and up") << QPoint(100, 200) << QPoint(300, 100) << false;
}

void BoardToolsTest::areaEraseFillsOnlyADragRightAndDown()
{
    QFETCH(QPoint, press);
    QFETCH(QPoint, release);
    QFETCH(bool, erased);
    Board board;
    // Writing across the area to be erased.
    board.drag(ToolMode::Pen, 3, {QPoint(50, 150), QPoint(350, 150)});
    board.drag(ToolMode::AreaErase, 3, {press, QPoint(200, 150), release});

    const QImage& page = board.pages.currentPageImage();
    QCOMPARE(page.pixelColor(200, 150) == background, erased);
    QCOMPARE(board.surface.pixel(QPoint(200, 150)) == background, erased);
    // Outside the dragged rectangle the writing stays.
    QCOMPARE(page.pixelColor(60, 150), ink);
    QCOMPARE(page.pixelColor(340, 150), ink);
    if (erased) // no trace of the dotted rubber band is left
        QCOMPARE(countNot(page, edgeRect(100, 100, 300, 200), background), 0);
    QCOMPARE(board.model.pen().width, 1);
    QVERIFY(board.model.pen().dotted);
}

void BoardToolsTest::eraserRestoresFromTheUnderlay()
{
    Board board;
    QImage underlay(screen, QImage::Format_RGB32);
    underlay.fill(Qt::cyan);
    board.pages.underlayImage() = underlay;
    board.pages.setUnderlayActive(true);
    board.drag(ToolMode::Eraser, 2, {QPoint(400, 300), QPoint(410, 300)});
    // Squares of 10 stroke widths right of and below the pointer.
    const QImage& page = board.pages.currentPageImage();
    QCOMPARE(page.pixelColor(410 + 19, 300 + 19), QColor(Qt::cyan));
    QCOMPARE(page.pixelColor(410 + 20, 300), background);
    QCOMPARE(page.pixelColor(399, 300), background);
}

void BoardToolsTest::eraserCommitCoversItsWholeWidth()
{
    Board board;
    board.drag(ToolMode::Pen, 9, {QPoint(200, 300), QPoint(600, 300)});
    board.drag(ToolMode::Eraser, 9, {QPoint(400, 300), QPoint(420, 300)});
    // The eraser is 90 pixels wide; the page loses all it wiped on the window.
    const QImage& page = board.pages.currentPageImage();
    QCOMPARE(page.pixelColor(380, 300), background);
    QCOMPARE(page.pixelColor(440, 300), background);
    QCOMPARE(page, board.surface.image());
}

void BoardToolsTest::releaseKeepsClearOfOpenPanels_data()
{
    QTest::addColumn<QRect>("strip");
    QTest::addColumn<QRect>("panel");
    QTest::addColumn<StrokeBox>("box");
    QTest::newRow("strip at the top")
        << QRect(0, 41, 1024, 200) << QRect() << StrokeBox{300, 251, 400, 400};
    QTest::newRow("strip at the bottom")
        << QRect(0, 405, 1024, 200) << QRect() << StrokeBox{300, 250, 400, 395};
    QTest::newRow("strip well below")
        << QRect(0, 500, 1024, 200) << QRect() << StrokeBox{300, 250, 400, 400};
    QTest::newRow("content panel")
        << QRect() << QRect(0, 41, 368, 600) << StrokeBox{378, 250, 400, 400};
    QTest::newRow("nothing open") << QRect() << QRect() << StrokeBox{300, 250, 400, 400};
}

void BoardToolsTest::releaseKeepsClearOfOpenPanels()
{
    QFETCH(QRect, strip);
    QFETCH(QRect, panel);
    QFETCH(StrokeBox, box);
    Board board;
    if (!strip.isNull())
        board.model.setThumbnailStrip(strip);
    if (!panel.isNull()) {
        // A page with text shows its content panel when the teacher comes back to it.
        board.pages.current().contentKind = ContentKind::Text;
        board.pages.current().panelBounds = panel;
        board.pages.current().state = PageState::WrittenOn;
        board.model.turnRight();
        board.model.turnLeft();
        QVERIFY(board.model.contentPanel().shown);
    }
    board.drag(ToolMode::Pen, 2, {QPoint(300, 250), QPoint(400, 400)});
    QCOMPARE(board.model.strokeBox(), box);
}

void BoardToolsTest::onlyInkToolsMarkThePageWritten_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("written");
    QTest::newRow("pen") << int(ToolMode::Pen) << true;
    QTest::newRow("line") << int(ToolMode::Line) << true;
    QTest::newRow("rectangle") << int(ToolMode::Rectangle) << true;
    QTest::newRow("ellipse") << int(ToolMode::Ellipse) << true;
    QTest::newRow("eraser") << int(ToolMode::Eraser) << false;
    QTest::newRow("range selection") << int(ToolMode::RangeSelection) << false;
    QTest::newRow("area erase") << int(ToolMode::AreaErase) << false;
}

void BoardToolsTest::onlyInkToolsMarkThePageWritten()
{
    QFETCH(int, mode);
    QFETCH(bool, written);
    Board board;
    board.drag(ToolMode(mode), 2, {QPoint(100, 100), QPoint(200, 200)});
    QCOMPARE(board.pages.current().state == PageState::WrittenOn, written);
}

QTEST_GUILESS_MAIN(BoardToolsTest)
#include "BoardToolsTest.moc"
