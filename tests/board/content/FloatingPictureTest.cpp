#include "board/content/FloatingPicture.h"
#include "board/codec/ImageCodec.h"
#include "board/model/BoardToolSet.h"
#include "board/store/PageStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

namespace {
const QSize screen(1024, 768);
const QColor background(128, 128, 128);
const QColor ink(255, 0, 0);
const QColor frameColour(0, 0, 255);
const QColor underlayColour(0, 200, 0);

// Page pixels below the strip: a busy pattern, so resampling modes differ, in none of the colours
// above.
QRgb pagePattern(int x, int y)
{
    return qRgb((x * 37) & 0xFF, (y * 53) & 0xFF, 0x40);
}

// A placed picture whose pixels tell where they came from, unlike anything on the page.
QImage placedImage(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb((x * 29) & 0xFF, (y * 43) & 0xFF, 0xA0));
    return image;
}

// A board whose page shows the pattern on a grey background, with a program directory of its own
// and the floating picture over it.
struct Board {
    QTemporaryDir dir;
    QString programDirectory = dir.path() + QLatin1Char('/');
    ScreenImage surface{screen};
    PageStore pages{screen, programDirectory, QSize(368, 723)};
    BoardToolSet tools;
    Stroke stroke;
    FloatingPicture floating{FloatingPicture::boardCut};

    Board()
    {
        pages.makeCurrentPageReady(background);
        QImage& page = pages.currentPageImage();
        for (int y = 40; y < screen.height(); ++y)
            for (int x = 0; x < screen.width(); ++x)
                page.setPixel(x, y, pagePattern(x, y));
        surface.copyFrom(page, QRect(QPoint(), screen));
        pages.underlayImage() = QImage(screen, PageStore::pageFormat);
        pages.underlayImage().fill(underlayColour);
    }

    Canvas canvas()
    {
        return Canvas{surface,
                      pages.currentPageImage(),
                      pages.scratchImage(),
                      pages.underlayActive() ? &pages.underlayImage() : nullptr,
                      40,
                      {}};
    }

    // A range selection dragged along path, up to the tool's own release work at its end.
    void drag(const QList<QPoint>& path)
    {
        CanvasTool& range = tools.tool(ToolMode::RangeSelection);
        stroke.pen = BoardToolSet::penFor(ToolMode::RangeSelection, 1, ink, background);
        Canvas onPage = canvas();
        range.press(stroke, onPage, path.first());
        for (qsizetype i = 1; i < path.size(); ++i) {
            const QPoint point(path[i].x(), std::max(path[i].y(), onPage.firstRow));
            stroke.box.grow(point);
            range.move(stroke, onPage, point);
        }
        range.release(stroke, onPage, path.last());
    }

    bool cut(const QList<QPoint>& path)
    {
        Canvas onPage = canvas();
        return floating.cut(path.first(), path.last(), stroke.box, onPage);
    }

    bool select(const QList<QPoint>& path)
    {
        drag(path);
        return cut(path);
    }

    // '+' zooms in, '-' zooms out.
    void zoom(const QString& steps)
    {
        for (const QChar step : steps) {
            if (step == QLatin1Char('+'))
                floating.zoomIn(screen, programDirectory, frameColour);
            else
                floating.zoomOut(screen, programDirectory, frameColour);
        }
    }
};

// The first pixel of rect where image differs from colour, if any.
std::optional<QPoint> firstNot(const QImage& image, const QRect& rect, const QColor& colour)
{
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (image.pixel(x, y) != colour.rgb())
                return QPoint(x, y);
    return std::nullopt;
}

int countOf(const QImage& image, const QRect& rect, const QColor& colour)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += image.pixel(x, y) == colour.rgb();
    return count;
}

QString describe(std::optional<QPoint> point)
{
    return point ? QStringLiteral("(%1, %2)").arg(point->x()).arg(point->y()) : QString();
}

// How the picture that is stamped came to float.
enum class Setup { Cut, CutShrunk, CutEnlarged, Placed, PlacedShrunk, PlacedEnlarged };
enum class Stamp { OnPress, Framed, FramedStaying, Drop };

} // namespace

class FloatingPictureTest : public QObject {
    Q_OBJECT
private slots:
    void cutTakesTheScreenAndLeavesAHole_data();
    void cutTakesTheScreenAndLeavesAHole();
    void rubberBandBecomesTheFrame_data();
    void rubberBandBecomesTheFrame();
    void releaseUpOrLeftCutsNothing_data();
    void releaseUpOrLeftCutsNothing();
    void stampingKeepsOrLeavesOutTheBorder_data();
    void stampingKeepsOrLeavesOutTheBorder();
    void hiddenPictureIgnoresZoomAndStamps();
    void zoomSizes_data();
    void zoomSizes();
    void zoomKeepsThePictureOnScreen_data();
    void zoomKeepsThePictureOnScreen();
    void zoomFrame_data();
    void zoomFrame();
    void zoomResamples_data();
    void zoomResamples();
    void zoomInThenOutGivesTheSamePixelsBack();
    void zoomGoesThroughTmpBmt();
    void newPictureStartsUnzoomed_data();
    void newPictureStartsUnzoomed();
    void dragFollowsThePointer();
};

void FloatingPictureTest::cutTakesTheScreenAndLeavesAHole_data()
{
    QTest::addColumn<QList<QPoint>>("path");
    QTest::addColumn<bool>("underlay");
    QTest::addColumn<QRect>("hole");
    const QList<QPoint> straight{{100, 100}, {300, 200}};
    // The pointer overshoots and comes back: the stroke box is larger than the selection.
    const QList<QPoint> overshoot{{100, 100}, {320, 220}, {300, 200}};
    QTest::newRow("background fills the selection")
        << straight << false << QRect(100, 100, 200, 100);
    QTest::newRow("background ignores an overshoot")
        << overshoot << false << QRect(100, 100, 200, 100);
    QTest::newRow("underlay fills the selection") << straight << true << QRect(100, 100, 200, 100);
    QTest::newRow("underlay covers the stroke box")
        << overshoot << true << QRect(100, 100, 220, 120);
}

void FloatingPictureTest::cutTakesTheScreenAndLeavesAHole()
{
    QFETCH(QList<QPoint>, path);
    QFETCH(bool, underlay);
    QFETCH(QRect, hole);
    Board board;
    board.pages.setUnderlayActive(underlay);
    board.drag(path);
    const QImage screenBefore = board.surface.image().copy();

    QVERIFY(board.cut(path));

    const QRect selection(100, 100, 200, 100);
    QVERIFY(board.floating.isShown());
    QCOMPARE(board.floating.geometry(), selection);
    QCOMPARE(board.floating.picture(), screenBefore.copy(selection));
    QCOMPARE(board.floating.pictureBuffer(), board.floating.picture());

    const QImage& page = board.pages.currentPageImage();
    const QColor holeColour = underlay ? underlayColour : background;
    QVERIFY2(!firstNot(page, hole, holeColour),
             qPrintable(describe(firstNot(page, hole, holeColour))));
    // The hole ends where it should: the lines just outside it keep what the page showed.
    const QList<QRect> around{{hole.left() - 1, hole.top(), 1, hole.height()},
                              {hole.left(), hole.top() - 1, hole.width(), 1},
                              {hole.right() + 1, hole.top(), 1, hole.height()},
                              {hole.left(), hole.bottom() + 1, hole.width(), 1}};
    for (const QRect& line : around)
        QCOMPARE(countOf(page, line, holeColour), 0);
    // The window shows the underlay's hole at once; the background hole lies under the picture.
    if (underlay)
        QVERIFY(!firstNot(board.surface.image(), hole, underlayColour));
    else
        QCOMPARE(board.surface.image().copy(selection), screenBefore.copy(selection));
}

void FloatingPictureTest::rubberBandBecomesTheFrame_data()
{
    QTest::addColumn<QRect>("inPicture");
    QTest::addColumn<QRect>("besideTheHole");
    QTest::newRow("top") << QRect(0, 0, 200, 1) << QRect(100, 99, 200, 1);
    QTest::newRow("left") << QRect(0, 0, 1, 100) << QRect(99, 100, 1, 100);
    QTest::newRow("right") << QRect(199, 0, 1, 100) << QRect(300, 100, 1, 100);
    QTest::newRow("bottom") << QRect(0, 99, 200, 1) << QRect(100, 200, 200, 1);
}

void FloatingPictureTest::rubberBandBecomesTheFrame()
{
    QFETCH(QRect, inPicture);
    QFETCH(QRect, besideTheHole);
    Board board;

    QVERIFY(board.select({{100, 100}, {300, 200}}));

    // Each edge of the rubber band lies on the selection's border: it goes with the picture as
    // its frame, and none of it stays behind on the page.
    QCOMPARE(countOf(board.pages.currentPageImage(), besideTheHole, ink), 0);
    const int length = std::max(inPicture.width(), inPicture.height());
    QVERIFY(countOf(board.floating.picture(), inPicture, ink) >= length / 4);
}

void FloatingPictureTest::releaseUpOrLeftCutsNothing_data()
{
    QTest::addColumn<QPoint>("release");
    QTest::newRow("left") << QPoint(50, 200);
    QTest::newRow("above") << QPoint(300, 60);
    QTest::newRow("left and above") << QPoint(50, 60);
    QTest::newRow("straight down") << QPoint(100, 200);
    QTest::newRow("straight right") << QPoint(300, 100);
}

void FloatingPictureTest::releaseUpOrLeftCutsNothing()
{
    QFETCH(QPoint, release);
    Board board;
    // With the underlay active a cut would copy the whole stroke box: nothing at all may change.
    board.pages.setUnderlayActive(true);
    board.drag({{100, 100}, release});
    const QImage pageBefore = board.pages.currentPageImage().copy();
    const QImage screenBefore = board.surface.image().copy();

    QVERIFY(!board.cut({{100, 100}, release}));

    QVERIFY(!board.floating.isShown());
    QCOMPARE(board.pages.currentPageImage(), pageBefore);
    QCOMPARE(board.surface.image(), screenBefore);
}

void FloatingPictureTest::stampingKeepsOrLeavesOutTheBorder_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<Stamp>("stamp");
    // The stamped part of the picture: `near` rows and columns left out at the top and left,
    // `far` at the bottom and right; -1 when nothing is stamped.
    QTest::addColumn<int>("nearSide");
    QTest::addColumn<int>("farSide");
    QTest::newRow("press: cut, frame left out") << Setup::Cut << Stamp::OnPress << 1 << 2;
    QTest::newRow("press: enlarged cut") << Setup::CutEnlarged << Stamp::OnPress << 1 << 2;
    QTest::newRow("press: shrunk cut leaves two at the top and left")
        << Setup::CutShrunk << Stamp::OnPress << 2 << 2;
    QTest::newRow("press: placed keeps every pixel") << Setup::Placed << Stamp::OnPress << 0 << 0;
    QTest::newRow("press: shrunk placed keeps every pixel")
        << Setup::PlacedShrunk << Stamp::OnPress << 0 << 0;
    QTest::newRow("framed: cut") << Setup::Cut << Stamp::Framed << 1 << 1;
    QTest::newRow("framed: shrunk cut") << Setup::CutShrunk << Stamp::Framed << 1 << 1;
    QTest::newRow("framed: placed loses a 1-pixel border")
        << Setup::Placed << Stamp::Framed << 1 << 1;
    QTest::newRow("framed: enlarged placed at its zoomed size and place")
        << Setup::PlacedEnlarged << Stamp::Framed << 1 << 1;
    QTest::newRow("framed while it keeps floating") << Setup::Cut << Stamp::FramedStaying << 1 << 1;
    QTest::newRow("dropped stamps nothing") << Setup::Placed << Stamp::Drop << -1 << -1;
}

void FloatingPictureTest::stampingKeepsOrLeavesOutTheBorder()
{
    QFETCH(Setup, setup);
    QFETCH(Stamp, stamp);
    QFETCH(int, nearSide);
    QFETCH(int, farSide);
    Board board;
    switch (setup) {
    case Setup::Cut:
    case Setup::CutShrunk:
    case Setup::CutEnlarged:
        QVERIFY(board.select({{100, 100}, {300, 200}}));
        break;
    case Setup::Placed:
    case Setup::PlacedShrunk:
    case Setup::PlacedEnlarged:
        board.floating.place(placedImage(QSize(90, 60)), QPoint(500, 300), true);
        break;
    }
    if (setup == Setup::CutShrunk || setup == Setup::PlacedShrunk)
        board.zoom(QStringLiteral("-"));
    if (setup == Setup::CutEnlarged || setup == Setup::PlacedEnlarged)
        board.zoom(QStringLiteral("+"));

    const QRect at = board.floating.geometry();
    const QImage picture = board.floating.picture().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(picture.size(), at.size());
    QImage& page = board.pages.currentPageImage();
    const QImage before = page.copy();

    switch (stamp) {
    case Stamp::OnPress:
        board.floating.commitOnPress(page);
        break;
    case Stamp::Framed:
        board.floating.framedCommit(page);
        break;
    case Stamp::FramedStaying:
        board.floating.stampFramed(page);
        break;
    case Stamp::Drop:
        board.floating.drop();
        break;
    }

    QCOMPARE(board.floating.isShown(), stamp == Stamp::FramedStaying);
    if (stamp == Stamp::OnPress) {
        QVERIFY(!board.floating.exactPlacement());
        QVERIFY(!board.floating.hasZoomSource());
    }
    const QRect stamped = nearSide < 0 ? QRect()
                                       : QRect(at.topLeft() + QPoint(nearSide, nearSide),
                                               at.bottomRight() - QPoint(farSide, farSide));
    for (int y = 0; y < screen.height(); ++y) {
        for (int x = 0; x < screen.width(); ++x) {
            const QPoint p(x, y);
            const QRgb expected =
                stamped.contains(p) ? picture.pixel(p - at.topLeft()) : before.pixel(p);
            if (page.pixel(p) != expected)
                QFAIL(qPrintable(QStringLiteral("page differs at %1").arg(describe(p))));
        }
    }
}

void FloatingPictureTest::hiddenPictureIgnoresZoomAndStamps()
{
    Board board;
    board.floating.place(placedImage(QSize(90, 60)), QPoint(500, 300), true);
    board.floating.drop();
    const QImage before = board.pages.currentPageImage().copy();

    QVERIFY(!board.floating.zoomIn(screen, board.programDirectory, frameColour));
    QVERIFY(!board.floating.zoomOut(screen, board.programDirectory, frameColour));
    board.floating.commitOnPress(board.pages.currentPageImage());
    board.floating.framedCommit(board.pages.currentPageImage());

    QCOMPARE(board.floating.geometry(), QRect(500, 300, 90, 60));
    QCOMPARE(board.floating.zoomFactor(), 1.0f);
    QVERIFY(!QFile::exists(board.programDirectory + QStringLiteral("tmp.bmt")));
    QCOMPARE(board.pages.currentPageImage(), before);
}

void FloatingPictureTest::zoomSizes_data()
{
    QTest::addColumn<QSize>("unzoomed");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QSize>("zoomed");
    QTest::addColumn<float>("factor");
    QTest::newRow("one step in") << QSize(200, 100) << "+" << QSize(300, 150) << 1.5f;
    QTest::newRow("two steps in give 2.25") << QSize(200, 100) << "++" << QSize(450, 225) << 2.25f;
    QTest::newRow("one step out gives two thirds, rounded")
        << QSize(200, 100) << "-" << QSize(133, 67) << 1.0f / 1.5f;
    QTest::newRow("in then out") << QSize(200, 100) << "+-" << QSize(200, 100) << 1.0f;
    QTest::newRow("out then in") << QSize(200, 100) << "-+" << QSize(200, 100) << 1.0f;
    QTest::newRow("halves to even: 7.5 up, 4.5 down") << QSize(5, 3) << "+" << QSize(8, 4) << 1.5f;
    QTest::newRow("halves to even: 10.5 down, 13.5 up")
        << QSize(7, 9) << "+" << QSize(10, 14) << 1.5f;
    // Four screens of 1024 x 768 are the most an enlargement may cover: 900 x 600 stops at 2.25.
    QTest::newRow("eight steps in stop at four screens")
        << QSize(900, 600) << "++++++++" << QSize(2025, 1350) << 2.25f;
    QTest::newRow("stopped, then out") << QSize(900, 600) << "++++-" << QSize(1350, 900) << 1.5f;
}

void FloatingPictureTest::zoomSizes()
{
    QFETCH(QSize, unzoomed);
    QFETCH(QString, steps);
    QFETCH(QSize, zoomed);
    QFETCH(float, factor);
    Board board;
    const QImage image = placedImage(unzoomed);
    board.floating.place(image, QPoint(100, 100), true);

    board.zoom(steps);

    QCOMPARE(board.floating.zoomFactor(), factor);
    QCOMPARE(board.floating.geometry().size(), zoomed);
    QCOMPARE(board.floating.picture().size(), zoomed);
    QCOMPARE(board.floating.pictureBuffer(), image);
}

void FloatingPictureTest::zoomKeepsThePictureOnScreen_data()
{
    QTest::addColumn<QRect>("placed");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QPoint>("topLeft");
    QTest::newRow("in: past the right edge moves left")
        << QRect(800, 100, 400, 100) << "+" << QPoint(424, 100);
    QTest::newRow("in: past the bottom moves up")
        << QRect(100, 500, 100, 400) << "+" << QPoint(100, 168);
    QTest::newRow("in: wider than the screen is centred")
        << QRect(0, 100, 800, 100) << "+" << QPoint(-88, 100);
    QTest::newRow("in: odd overflow halves toward zero")
        << QRect(0, 100, 802, 100) << "+" << QPoint(-89, 100);
    QTest::newRow("in: taller than the screen is centred")
        << QRect(100, 0, 100, 600) << "+" << QPoint(100, -66);
    QTest::newRow("in: a picture off the left edge comes half way back")
        << QRect(-100, -40, 100, 100) << "+" << QPoint(-50, -20);
    QTest::newRow("in: on screen stays") << QRect(300, 200, 100, 100) << "+" << QPoint(300, 200);
    QTest::newRow("out: off the left and top comes back when it fits")
        << QRect(-100, -50, 300, 300) << "-" << QPoint(0, 0);
    QTest::newRow("out: still wider than the screen stays off")
        << QRect(-400, 100, 1800, 100) << "-" << QPoint(-400, 100);
    QTest::newRow("out: past the right edge stays")
        << QRect(900, 700, 300, 300) << "-" << QPoint(900, 700);
}

void FloatingPictureTest::zoomKeepsThePictureOnScreen()
{
    QFETCH(QRect, placed);
    QFETCH(QString, steps);
    QFETCH(QPoint, topLeft);
    Board board;
    board.floating.place(placedImage(placed.size()), placed.topLeft(), true);

    board.zoom(steps);

    QCOMPARE(board.floating.geometry().topLeft(), topLeft);
}

void FloatingPictureTest::zoomFrame_data()
{
    QTest::addColumn<bool>("placed");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<bool>("framed");
    QTest::newRow("cut enlarged") << false << "+" << true;
    QTest::newRow("cut enlarged twice") << false << "++" << true;
    QTest::newRow("cut back at 1.0") << false << "-+" << true;
    QTest::newRow("cut shrunk") << false << "-" << false;
    QTest::newRow("placed enlarged") << true << "+" << false;
}

void FloatingPictureTest::zoomFrame()
{
    QFETCH(bool, placed);
    QFETCH(QString, steps);
    QFETCH(bool, framed);
    Board board;
    if (placed)
        board.floating.place(placedImage(QSize(200, 100)), QPoint(100, 100), true);
    else
        QVERIFY(board.select({{100, 100}, {300, 200}}));

    board.zoom(steps);

    // The frame's far edges lie on column NW - 2 and row NH - 2; the frame colour appears nowhere
    // else, and on each of the four edges as dots when the picture is framed.
    const QImage& picture = board.floating.picture();
    const int w = picture.width();
    const int h = picture.height();
    const QList<QRect> edges{
        {0, 0, w - 1, 1}, {0, h - 2, w - 1, 1}, {0, 0, 1, h - 1}, {w - 2, 0, 1, h - 1}};
    for (const QRect& edge : edges) {
        const int dots = countOf(picture, edge, frameColour);
        const int length = std::max(edge.width(), edge.height());
        if (framed)
            QVERIFY2(dots >= length / 4, qPrintable(QStringLiteral("%1 dots").arg(dots)));
        else
            QCOMPARE(dots, 0);
    }
    const QList<QRect> elsewhere{{1, 1, w - 3, h - 3}, {w - 1, 0, 1, h}, {0, h - 1, w, 1}};
    for (const QRect& rect : elsewhere)
        QCOMPARE(countOf(picture, rect, frameColour), 0);
}

void FloatingPictureTest::zoomResamples_data()
{
    QTest::addColumn<bool>("placed");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<Interpolation>("mode");
    QTest::addColumn<QRectF>("source");
    // A cut picture of 200 x 100 leaves its frame out; a placed one of 90 x 60 is taken whole.
    QTest::newRow("cut enlarged: low quality")
        << false << "+" << Interpolation::LowQuality << QRectF(1, 1, 197, 97);
    QTest::newRow("cut shrunk: high quality")
        << false << "-" << Interpolation::HighQuality << QRectF(1, 1, 197, 97);
    QTest::newRow("placed enlarged: bicubic")
        << true << "+" << Interpolation::HighQualityBicubic << QRectF(0, 0, 90, 60);
    QTest::newRow("placed shrunk: bicubic")
        << true << "-" << Interpolation::HighQualityBicubic << QRectF(0, 0, 90, 60);
}

void FloatingPictureTest::zoomResamples()
{
    QFETCH(bool, placed);
    QFETCH(QString, steps);
    QFETCH(Interpolation, mode);
    QFETCH(QRectF, source);
    Board board;
    if (placed)
        board.floating.place(placedImage(QSize(90, 60)), QPoint(100, 100), true);
    else
        QVERIFY(board.select({{100, 100}, {300, 200}}));
    const QImage unzoomed = board.floating.picture();

    board.zoom(steps);

    const double factor = board.floating.zoomFactor();
    const QImage expected =
        ImageCodec::scaledCopy(unzoomed, source, board.floating.picture().size(),
                               QRectF(0, 0, unzoomed.width() * factor, unzoomed.height() * factor),
                               mode, board.programDirectory);
    // Inside the place of a frame drawn again.
    const QRect inside = board.floating.picture().rect().adjusted(1, 1, -2, -2);
    QCOMPARE(board.floating.picture().copy(inside), expected.copy(inside));
    // Nothing of the cut's own frame comes along.
    QCOMPARE(countOf(board.floating.picture(), board.floating.picture().rect(), ink), 0);
}

void FloatingPictureTest::zoomInThenOutGivesTheSamePixelsBack()
{
    // Each step resamples the zoom source; resampling the enlarged picture again would blur it.
    Board board;
    const QImage image = placedImage(QSize(90, 60));
    board.floating.place(image, QPoint(100, 100), true);

    board.zoom(QStringLiteral("++-"));
    QVERIFY(board.floating.hasZoomSource());
    board.zoom(QStringLiteral("-"));

    QCOMPARE(board.floating.picture().convertToFormat(QImage::Format_RGB32), image);
}

void FloatingPictureTest::zoomGoesThroughTmpBmt()
{
    Board board;
    board.floating.place(placedImage(QSize(90, 60)), QPoint(100, 100), true);

    board.zoom(QStringLiteral("+"));

    const QImage stored = ImageCodec::loadFile(board.programDirectory + QStringLiteral("tmp.bmt"));
    QCOMPARE(stored.size(), QSize(135, 90));
    QCOMPARE(stored, board.floating.picture());
}

void FloatingPictureTest::newPictureStartsUnzoomed_data()
{
    QTest::addColumn<bool>("cut");
    QTest::newRow("cut") << true;
    QTest::newRow("placement") << false;
}

void FloatingPictureTest::newPictureStartsUnzoomed()
{
    QFETCH(bool, cut);
    Board board;
    board.floating.place(placedImage(QSize(400, 200)), QPoint(100, 100), true);
    board.zoom(QStringLiteral("+"));
    board.floating.framedCommit(board.pages.currentPageImage()); // hides, keeps the zoom source

    if (cut)
        QVERIFY(board.select({{100, 100}, {160, 140}}));
    else
        board.floating.place(placedImage(QSize(60, 40)), QPoint(100, 100), true);

    QCOMPARE(board.floating.zoomFactor(), 1.0f);
    QCOMPARE(board.floating.exactPlacement(), !cut);
    QVERIFY(!board.floating.hasZoomSource());
    // The next step starts from the new picture, not from the old zoom source.
    board.zoom(QStringLiteral("+"));
    QCOMPARE(board.floating.geometry(), QRect(100, 100, 90, 60));
}

void FloatingPictureTest::dragFollowsThePointer()
{
    Board board;
    board.floating.place(placedImage(QSize(90, 60)), QPoint(100, 100), true);

    board.floating.grab(QPoint(10, 20));
    board.floating.dragTo(QPoint(15, 5));
    QCOMPARE(board.floating.geometry(), QRect(105, 85, 90, 60));
    // The pointer keeps its place in the picture; nothing keeps the picture on the screen.
    board.floating.dragTo(QPoint(-200, 20));
    QCOMPARE(board.floating.geometry(), QRect(-105, 85, 90, 60));
}

QTEST_GUILESS_MAIN(FloatingPictureTest)
#include "FloatingPictureTest.moc"
