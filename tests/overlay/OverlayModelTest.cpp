#include "overlay/OverlayModel.h"
#include "board/codec/ImageCodec.h"
#include "board/model/BoardModel.h"
#include "board/pixels/EdgeRect.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/ScriptedPrompter.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QSize screen(1024, 768);
const QColor ink(255, 128, 0);

// A desktop whose pixels tell where they are, unlike the pen's colour.
QImage desktopPicture()
{
    QImage image(screen, QImage::Format_RGB32);
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x)
            image.setPixel(x, y, qRgb(x & 0x7F, y & 0x7F, 0x30));
    return image;
}

// The overlay opened over a patterned desktop, beside a board with a directory of its own.
struct Overlay {
    QTemporaryDir directory;
    QString programDirectory = directory.path() + QLatin1Char('/');
    ScriptedPrompter prompter;
    FakeClock clock;
    BoardModel board{screen, programDirectory, prompter};
    OverlayModel model{board, programDirectory, prompter, clock};
    QImage desktop = desktopPicture();

    Overlay() { model.open(desktop); }

    const QImage& working() { return board.pages().scratchImage(); }

    void drag(OverlayTool tool, const QList<QPoint>& path)
    {
        model.chooseTool(tool);
        model.press(path.first());
        for (qsizetype i = 1; i < path.size(); ++i)
            model.move(path[i]);
        model.release(path.last());
    }

    void select(QPoint from, QPoint to) { drag(OverlayTool::Range, {from, to}); }
};

} // namespace

class OverlayModelTest : public QObject {
    Q_OBJECT
private slots:
    void widthStaysWithinOneToNine_data();
    void widthStaysWithinOneToNine();
    void clickCommitsTheSquareAndReplacesTheUndoImage();
    void eraseRestoresTheWholeDraggedExtent();
    void undoTwiceEqualsUndoOnce();
    void clearAllAndClearSelected_data();
    void clearAllAndClearSelected();
    void selectionSurvivesTheBoardButNotTheDesktop();
    void emptySelectionFloatsNothing();
    void zoomSteps_data();
    void zoomSteps();
    void zoomResamplesInsideTheFrame_data();
    void zoomResamplesInsideTheFrame();
    void nothingToZoomOrSaveBeforeASelection();
    void captureToTheCurrentPage_data();
    void captureToTheCurrentPage();
    void captureToTheNextPage_data();
    void captureToTheNextPage();
    void fileCaptureNamesAndSizes_data();
    void fileCaptureNamesAndSizes();
};

void OverlayModelTest::widthStaysWithinOneToNine_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("wider");
    QTest::addColumn<int>("width");
    QTest::newRow("3 up by 2") << 3 << 2 << 5;
    QTest::newRow("9 stays 9") << 9 << 1 << 9;
    QTest::newRow("1 stays 1") << 1 << -1 << 1;
    QTest::newRow("down to 1 and no further") << 3 << -5 << 1;
}

void OverlayModelTest::widthStaysWithinOneToNine()
{
    QFETCH(int, start);
    QFETCH(int, wider);
    QFETCH(int, width);
    Overlay overlay;
    overlay.model.chooseTool(OverlayTool::Erase);
    overlay.model.setStrokeWidth(start);
    for (int i = 0; i < std::abs(wider); ++i)
        wider > 0 ? overlay.model.widen() : overlay.model.narrow();
    QCOMPARE(overlay.model.strokeWidth(), width);
    // The pen takes the width at once, whatever the tool.
    QCOMPARE(overlay.model.pen().width, width);
}

void OverlayModelTest::clickCommitsTheSquareAndReplacesTheUndoImage()
{
    Overlay overlay;
    overlay.drag(OverlayTool::Write, {QPoint(100, 100), QPoint(200, 100)});
    const QImage afterStroke = overlay.working().copy();
    overlay.drag(OverlayTool::Write, {QPoint(500, 400)});
    QCOMPARE(overlay.model.undoImage(), afterStroke);
    // The stroke before the click can no longer be undone.
    overlay.model.undo();
    QCOMPARE(overlay.working().pixelColor(150, 100), ink);
}

void OverlayModelTest::eraseRestoresTheWholeDraggedExtent()
{
    Overlay overlay;
    overlay.drag(OverlayTool::Write, {QPoint(100, 300), QPoint(700, 300)});
    // The drag went out to x 600 before ending at 400.
    overlay.drag(OverlayTool::Erase, {QPoint(200, 250), QPoint(600, 350), QPoint(400, 350)});
    const QRect restored = edgeRect(190, 240, 610, 360);
    QCOMPARE(overlay.working().copy(restored), overlay.desktop.copy(restored));
    QCOMPARE(overlay.model.screen().image().copy(restored), overlay.desktop.copy(restored));
    QCOMPARE(overlay.working().pixelColor(650, 300), ink);
    QCOMPARE(overlay.working().pixelColor(150, 300), ink);
}

void OverlayModelTest::undoTwiceEqualsUndoOnce()
{
    Overlay overlay;
    overlay.drag(OverlayTool::Write, {QPoint(100, 100), QPoint(200, 100)});
    const QImage afterFirst = overlay.working().copy();
    overlay.drag(OverlayTool::Line, {QPoint(100, 400), QPoint(300, 500)});
    overlay.model.undo();
    QCOMPARE(overlay.working(), afterFirst);
    overlay.model.undo();
    QCOMPARE(overlay.working(), afterFirst);
    QCOMPARE(overlay.model.screen().image(), afterFirst);
}

void OverlayModelTest::clearAllAndClearSelected_data()
{
    QTest::addColumn<bool>("compact");
    QTest::newRow("full toolbar clears the whole screen") << false;
    QTest::newRow("compact toolbar clears the selected rectangle") << true;
}

void OverlayModelTest::clearAllAndClearSelected()
{
    QFETCH(bool, compact);
    Overlay overlay;
    overlay.drag(OverlayTool::Write, {QPoint(100, 300), QPoint(700, 300)});
    overlay.select(QPoint(200, 200), QPoint(400, 400));
    compact ? overlay.model.clearSelected() : overlay.model.clearAll();

    QCOMPARE(overlay.working().pixelColor(300, 300), overlay.desktop.pixelColor(300, 300));
    QCOMPARE(overlay.working().pixelColor(600, 300) == ink, compact);
    QCOMPARE(overlay.model.undoImage().pixelColor(600, 300) == ink, compact);
    // The full clear abandons the floating selection; the compact one leaves it.
    QCOMPARE(overlay.model.selection().isShown(), compact);
}

void OverlayModelTest::selectionSurvivesTheBoardButNotTheDesktop()
{
    Overlay overlay;
    overlay.select(QPoint(200, 200), QPoint(400, 300));
    QVERIFY(overlay.model.selection().isShown());
    // "书写板" leaves the overlay's state alone: the selection floats at the next opening.
    overlay.model.open(overlay.desktop);
    QVERIFY(overlay.model.selection().isShown());
    overlay.model.leaveForDesktop();
    QVERIFY(!overlay.model.selection().isShown());
}

void OverlayModelTest::emptySelectionFloatsNothing()
{
    Overlay overlay;
    overlay.select(QPoint(400, 300), QPoint(200, 200));
    QVERIFY(overlay.model.selection().geometry().isEmpty());
    // The rubber band is wiped.
    QCOMPARE(overlay.model.screen().image(), overlay.working());
}

void OverlayModelTest::zoomSteps_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QSize>("size");
    QTest::newRow("one step in rounds halves to even") << "+" << QSize(302, 152);
    QTest::newRow("two steps in") << "++" << QSize(452, 227);
    QTest::newRow("three in, three out") << "+++---" << QSize(201, 101);
}

void OverlayModelTest::zoomSteps()
{
    QFETCH(QString, steps);
    QFETCH(QSize, size);
    Overlay overlay;
    overlay.select(QPoint(100, 100), QPoint(301, 201));
    for (QChar step : steps)
        step == QLatin1Char('+') ? overlay.model.zoomIn() : overlay.model.zoomOut();
    QCOMPARE(overlay.model.selection().geometry().size(), size);
    QCOMPARE(overlay.model.selection().picture().size(), size);
    QVERIFY(QFile::exists(overlay.programDirectory + QStringLiteral("tmp.bmt")));
    QCOMPARE(QFile::exists(overlay.programDirectory + QStringLiteral("tmp.bmp")),
             steps.contains(QLatin1Char('-')));
}

void OverlayModelTest::zoomResamplesInsideTheFrame_data()
{
    QTest::addColumn<QSize>("selected");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<bool>("zooms");
    QTest::newRow("enlarged") << QSize(201, 101) << "+" << true;
    QTest::newRow("reduced") << QSize(201, 101) << "-" << true;
    QTest::newRow("five pixels across") << QSize(5, 60) << "+" << true;
    QTest::newRow("four pixels across: nothing inside the frame") << QSize(4, 60) << "+" << false;
    QTest::newRow("four pixels high") << QSize(60, 4) << "-" << false;
}

void OverlayModelTest::zoomResamplesInsideTheFrame()
{
    QFETCH(QSize, selected);
    QFETCH(QString, steps);
    QFETCH(bool, zooms);
    Overlay overlay;
    overlay.select(QPoint(100, 100),
                   QPoint(100, 100) + QPoint(selected.width(), selected.height()));
    const QImage unzoomed = overlay.model.selection().picture();
    for (QChar step : steps)
        step == QLatin1Char('+') ? overlay.model.zoomIn() : overlay.model.zoomOut();

    const FloatingPicture& selection = overlay.model.selection();
    if (!zooms) {
        QCOMPARE(selection.picture(), unzoomed);
        QCOMPARE(selection.zoomFactor(), 1.0f);
        QVERIFY(!QFile::exists(overlay.programDirectory + QStringLiteral("tmp.bmt")));
        QVERIFY(!QFile::exists(overlay.programDirectory + QStringLiteral("tmp.bmp")));
        return;
    }
    // Bicubic at every factor, the frame of two pixels on every side left out, and no frame
    // drawn again.
    const double factor = selection.zoomFactor();
    const QImage expected =
        ImageCodec::scaledCopy(unzoomed, QRectF(2, 2, selected.width() - 4, selected.height() - 4),
                               selection.picture().size(),
                               QRectF(0, 0, selected.width() * factor, selected.height() * factor),
                               Interpolation::HighQualityBicubic, overlay.programDirectory);
    QCOMPARE(selection.picture(), expected);
}

void OverlayModelTest::nothingToZoomOrSaveBeforeASelection()
{
    Overlay overlay;
    overlay.model.setCaptureMode(CaptureMode::File);
    overlay.model.zoomIn();
    overlay.model.zoomOut();
    overlay.model.captureToCurrentPage();
    QVERIFY(overlay.prompter.questions().isEmpty());
    QVERIFY(!QFile::exists(overlay.programDirectory + QStringLiteral("tmp.bmt")));
    QVERIFY(!overlay.model.selection().isShown());
}

void OverlayModelTest::captureToTheCurrentPage_data()
{
    QTest::addColumn<bool>("withSelection");
    QTest::newRow("the whole annotated screen") << false;
    QTest::newRow("the selection floats on the board") << true;
}

void OverlayModelTest::captureToTheCurrentPage()
{
    QFETCH(bool, withSelection);
    Overlay overlay;
    overlay.drag(OverlayTool::Write, {QPoint(100, 300), QPoint(700, 300)});
    if (withSelection)
        overlay.select(QPoint(200, 200), QPoint(400, 400));
    const QImage annotated = overlay.model.screen().image().copy();
    overlay.model.captureToCurrentPage();

    PageStore& pages = overlay.board.pages();
    QCOMPARE(pages.current().state, PageState::WrittenOn);
    QVERIFY(!overlay.model.selectionMade());
    QVERIFY(!overlay.model.selection().isShown());
    if (withSelection) {
        QCOMPARE(overlay.board.toolMode(), ToolMode::RangeSelection);
        QVERIFY(overlay.board.floatingPicture().isShown());
        QCOMPARE(overlay.board.floatingPicture().geometry(), QRect(200, 200, 200, 200));
        // The page itself is the fresh page in the swatch colour until the picture is put down.
        QCOMPARE(pages.currentPageImage().pixelColor(600, 300), overlay.board.backgroundSwatch());
    } else {
        QCOMPARE(pages.currentPageImage(), annotated);
    }
}

void OverlayModelTest::captureToTheNextPage_data()
{
    QTest::addColumn<int>("writtenPages");
    QTest::addColumn<int>("pageAfter");
    QTest::addColumn<int>("pageCount");
    QTest::newRow("an empty page takes the capture itself") << 0 << 1 << 1;
    QTest::newRow("a written page is followed by a new one") << 1 << 2 << 2;
    QTest::newRow("page 99 takes it on itself") << 99 << 99 << 99;
}

void OverlayModelTest::captureToTheNextPage()
{
    QFETCH(int, writtenPages);
    QFETCH(int, pageAfter);
    QFETCH(int, pageCount);
    Overlay overlay;
    PageStore& pages = overlay.board.pages();
    for (int n = 1; n <= writtenPages; ++n) {
        if (n > 1)
            overlay.board.turnRight();
        pages.current().state = PageState::WrittenOn;
    }
    overlay.drag(OverlayTool::Write, {QPoint(100, 300), QPoint(700, 300)});
    const QImage annotated = overlay.model.screen().image().copy();
    overlay.model.captureToNextPage();
    QCOMPARE(pages.currentPage(), pageAfter);
    QCOMPARE(pages.pageCount(), pageCount);
    QCOMPARE(pages.current().state, PageState::WrittenOn);
    QCOMPARE(pages.currentPageImage(), annotated);
}

void OverlayModelTest::fileCaptureNamesAndSizes_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("zoom");
    QTest::newRow("the moment's name gets .png") << "202735974"
                                                 << "202735974.png"
                                                 << "";
    QTest::newRow("a name ending in .png keeps it") << "课.png"
                                                    << "课.png"
                                                    << "+";
    QTest::newRow("any letter case") << "a.PNG"
                                     << "a.PNG"
                                     << "++-";
}

void OverlayModelTest::fileCaptureNamesAndSizes()
{
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QFETCH(QString, zoom);
    Overlay overlay;
    overlay.model.setCaptureMode(CaptureMode::File);
    overlay.select(QPoint(100, 100), QPoint(301, 201));
    for (QChar step : zoom)
        step == QLatin1Char('+') ? overlay.model.zoomIn() : overlay.model.zoomOut();
    const QString path = overlay.directory.filePath(chosen);
    // Saved twice: both times at the selection's size without its frame.
    for (int capture = 0; capture < 2; ++capture) {
        overlay.prompter.answerSaveFile(path);
        capture == 0 ? overlay.model.captureToCurrentPage() : overlay.model.captureToNextPage();
        const QImage saved(overlay.directory.filePath(written));
        QCOMPARE(saved.size(), QSize(199, 99));
    }
    QCOMPARE(overlay.prompter.questions().first().text, QStringLiteral("202735974"));
    QCOMPARE(overlay.prompter.questions().first().filter, QStringLiteral("*.png"));
    // A file capture leaves the selection floating and the board alone.
    QVERIFY(overlay.model.selection().isShown());
    QVERIFY(overlay.model.selectionMade());
    QCOMPARE(overlay.board.pages().current().state, PageState::NeverFilled);
}

QTEST_GUILESS_MAIN(OverlayModelTest)
#include "OverlayModelTest.moc"
