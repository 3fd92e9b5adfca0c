#include "board/model/BoardModel.h"
#include "board/pixels/EdgeRect.h"
#include "platform/fakes/ScriptedPrompter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QSize screen(1024, 768);
const QColor background(128, 128, 128);
const QColor ink(255, 0, 0);

// A picture whose every row and column differs from its neighbours, so a lost border, a shift or
// a resampling shows.
QImage pattern(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb((x * 37) & 0xFF, (y * 53) & 0xFF, (x + y) & 0xFF));
    return image;
}

// A board on one grey page with the red pen, writing its scratch files into a directory of its
// own, where the test also keeps its picture files.
struct Board {
    QTemporaryDir dir;
    QString directory = dir.path() + QLatin1Char('/');
    ScriptedPrompter prompter;
    BoardModel model{screen, directory, prompter};

    Board()
    {
        model.setStrokeColour(ink);
        model.makeCurrentPageReady();
        model.showOnWindow();
    }

    QString write(const QString& name, const QImage& image, const char* format)
    {
        const QString path = directory + name;
        if (!image.save(path, format))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    void click(QPoint point)
    {
        model.press(point);
        model.release(point);
    }

    void drag(QPoint from, QPoint to)
    {
        model.press(from);
        model.move(to);
        model.release(to);
    }

    const QImage& page() { return model.pages().currentPageImage(); }
};
} // namespace

class PendingPlacementTest : public QObject {
    Q_OBJECT
private slots:
    void clipArtFloatsAtThePressWhateverTheTool_data();
    void clipArtFloatsAtThePressWhateverTheTool();
    void columnPicture_data();
    void columnPicture();
    void unreadableFileChangesNothing_data();
    void unreadableFileChangesNothing();
    void pendingPlacementWinsOverTheCut();
    void pictureFloatingBeforeIsStampedByThePress();
};

void PendingPlacementTest::clipArtFloatsAtThePressWhateverTheTool_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("pen") << int(ToolMode::Pen);
    QTest::newRow("rectangle") << int(ToolMode::Rectangle);
    QTest::newRow("eraser") << int(ToolMode::Eraser);
    QTest::newRow("range selection") << int(ToolMode::RangeSelection);
    QTest::newRow("area erase") << int(ToolMode::AreaErase);
}

void PendingPlacementTest::clipArtFloatsAtThePressWhateverTheTool()
{
    QFETCH(int, mode);
    Board board;
    board.model.chooseTool(ToolMode(mode));
    QVERIFY(
        board.model.chooseClipArt(board.write(QStringLiteral("w3.jt"), pattern({61, 43}), "JPEG")));
    QCOMPARE(board.model.pendingPlacement(), PendingPlacement::ClipArt);
    QCOMPARE(board.model.clipArt().size(), QSize(61, 43));
    const QImage before = board.page().copy();

    board.click(QPoint(200, 300));
    const FloatingPicture& floating = board.model.floatingPicture();
    QVERIFY(floating.isShown());
    QCOMPARE(floating.geometry(), QRect(200, 300, 61, 43));
    QVERIFY(floating.exactPlacement());
    QCOMPARE(floating.zoomFactor(), 1.0f);
    QCOMPARE(board.model.pendingPlacement(), PendingPlacement::None);
    // Nothing reaches the page until the picture is stamped.
    QCOMPARE(board.page(), before);

    // The next press stamps it unscaled, outermost rows and columns included; the release after it
    // places nothing more.
    board.click(QPoint(700, 600));
    QVERIFY(!floating.isShown());
    QCOMPARE(board.page().copy(200, 300, 61, 43),
             board.model.clipArt().convertToFormat(board.page().format()));
    QCOMPARE(board.page().pixelColor(199, 300), background);
    QCOMPARE(board.page().pixelColor(261, 343), background);
}

void PendingPlacementTest::columnPicture_data()
{
    QTest::addColumn<QSize>("pictureSize");
    QTest::addColumn<QRect>("placed");
    QTest::addColumn<bool>("unscaled");
    const QPoint press(300, 200);
    QTest::newRow("as wide as the screen") << QSize(1024, 300) << QRect(0, 35, 1024, 300) << true;
    QTest::newRow("wider, half a row to even")
        << QSize(2048, 101) << QRect(0, 35, 1024, 50) << false;
    QTest::newRow("wider, rounded up") << QSize(2048, 103) << QRect(0, 35, 1024, 52) << false;
    QTest::newRow("one column narrower")
        << QSize(1023, 300) << QRect(press, QSize(1023, 300)) << true;
    QTest::newRow("small") << QSize(40, 30) << QRect(press, QSize(40, 30)) << true;
}

void PendingPlacementTest::columnPicture()
{
    QFETCH(QSize, pictureSize);
    QFETCH(QRect, placed);
    QFETCH(bool, unscaled);
    Board board;
    const QImage picture = pattern(pictureSize);
    QVERIFY(board.model.choosePicture(board.write(QStringLiteral("picture.png"), picture, "PNG")));
    QCOMPARE(board.model.pendingPlacement(), placed.topLeft() == QPoint(0, 35)
                                                 ? PendingPlacement::PictureAtTop
                                                 : PendingPlacement::PictureAtPress);
    // The chosen picture passed the scratch file on its way.
    const QImage scratch(board.directory + QStringLiteral("tmp.bmt"), "BMP");
    QCOMPARE(scratch.size(), placed.size());

    board.click(QPoint(300, 200));
    const FloatingPicture& floating = board.model.floatingPicture();
    QVERIFY(floating.isShown());
    QCOMPARE(floating.geometry(), placed);
    QVERIFY(floating.exactPlacement());
    if (unscaled)
        QCOMPARE(floating.picture().convertToFormat(picture.format()), picture);
}

void PendingPlacementTest::unreadableFileChangesNothing_data()
{
    QTest::addColumn<bool>("clipArt");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("clip-art missing") << true << QByteArray();
    QTest::newRow("clip-art not a picture") << true << QByteArray("not a picture");
    QTest::newRow("clip-art cut short") << true << QByteArray("\xff\xd8\xff\xe0\x00\x10JFIF", 10);
    QTest::newRow("picture missing") << false << QByteArray();
    QTest::newRow("picture not a picture") << false << QByteArray("not a picture");
}

void PendingPlacementTest::unreadableFileChangesNothing()
{
    QFETCH(bool, clipArt);
    QFETCH(QByteArray, content);
    Board board;
    const QString path = board.directory + QStringLiteral("w3.jt");
    if (!content.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    const bool read = clipArt ? board.model.chooseClipArt(path) : board.model.choosePicture(path);
    QVERIFY(!read);
    QCOMPARE(board.model.pendingPlacement(), PendingPlacement::None);

    board.click(QPoint(200, 300));
    QVERIFY(!board.model.floatingPicture().isShown());

    // A choice that waits already keeps waiting.
    QVERIFY(
        board.model.chooseClipArt(board.write(QStringLiteral("w4.jt"), pattern({20, 10}), "JPEG")));
    QVERIFY(!board.model.choosePicture(path));
    board.click(QPoint(200, 300));
    QCOMPARE(board.model.floatingPicture().geometry(), QRect(200, 300, 20, 10));
}

void PendingPlacementTest::pendingPlacementWinsOverTheCut()
{
    Board board;
    // Writing inside the rectangle about to be dragged: a cut would leave a hole there.
    board.drag(QPoint(150, 150), QPoint(250, 150));
    board.model.chooseTool(ToolMode::RangeSelection);
    QVERIFY(
        board.model.chooseClipArt(board.write(QStringLiteral("w0.jt"), pattern({30, 20}), "JPEG")));
    const QImage before = board.page().copy();

    board.drag(QPoint(100, 100), QPoint(300, 200));
    const FloatingPicture& floating = board.model.floatingPicture();
    QCOMPARE(floating.geometry(), QRect(100, 100, 30, 20));
    QVERIFY(floating.exactPlacement());
    // No hole, and no rubber band left in the page or on the window.
    QCOMPARE(board.page(), before);
    QCOMPARE(board.model.screen().image(), before);

    // With nothing pending, the tool cuts again.
    board.click(QPoint(900, 700));
    board.drag(QPoint(100, 100), QPoint(300, 200));
    QCOMPARE(floating.geometry(), QRect(100, 100, 200, 100));
    QVERIFY(!floating.exactPlacement());
}

void PendingPlacementTest::pictureFloatingBeforeIsStampedByThePress()
{
    Board board;
    const QImage first = pattern({50, 40});
    board.model.placePicture(first, QPoint(500, 400), true);
    QVERIFY(
        board.model.chooseClipArt(board.write(QStringLiteral("h1.jt"), pattern({30, 20}), "JPEG")));

    board.click(QPoint(100, 100));
    QCOMPARE(board.page().copy(500, 400, 50, 40), first);
    QCOMPARE(board.model.floatingPicture().geometry(), QRect(100, 100, 30, 20));
}

QTEST_GUILESS_MAIN(PendingPlacementTest)
#include "PendingPlacementTest.moc"
