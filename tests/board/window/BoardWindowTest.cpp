#include "board/window/BoardWindow.h"
#include "board/content/PictureColumn.h"
#include "board/model/BoardModel.h"
#include "board/model/ClipArtPalette.h"
#include "board/model/ThumbnailStripModel.h"
#include "board/pixels/ColourRef.h"
#include "board/tools/CursorFile.h"
#include "board/window/ContentPanel.h"
#include "board/window/PalettePanel.h"
#include "board/window/ThumbnailStrip.h"
#include "platform/fakes/ScriptedPrompter.h"
#include "ui/ColourSwatch.h"

#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

namespace {
const QSize screen(1024, 768);
const QColor grey(128, 128, 128);
} // namespace

class BoardWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void stripControlsStandInPlace_data();
    void stripControlsStandInPlace();
    void openingFillsTheFreshPageWithTheSwatch();
    void toolButtonsActLikeRadioButtons();
    void eachToolShowsItsOwnCursor();
    void missingCursorFileGivesTheArrow();
    void penDragLandsInThePageAtRelease();
    void rectangleDragShowsItsSize();
    void rightButtonDragDrawsNothingButCommits();
    void freshBoardTurnsRightOnlyWhenWrittenOn();
    void turningBackAndForthKeepsPages();
    void pageNinetyNineIsTheLast();
    void undoTakesBackTheLastStrokeOnly();
    void undoAfterAPageTurnCopiesTheSquareAtTheCorner();
    void strokeWidthStaysWithinOneToNine();
    void eraserWidthFollowsTheStrokeWidth();
    void clearingFillsWithTheSwatchOrTheUnderlay();
    void backgroundColour_data();
    void backgroundColour();
    void strokeColourSparesTheEraser();
    void cutSelectionFloatsAndStampsBack();
    void zoomedPictureIsStampedByAToolAtItsSize();
    void undoAfterACutCancelsIt();
    void clearAfterACutWipesOnlyTheSelection();
    void tallPictureGoesOnOnTheNextPage();
    void pressesOnTheStripNeverReachThePage_data();
    void pressesOnTheStripNeverReachThePage();
    void releaseWithoutAPressOnThePageIsIgnored();

private:
    void drag(Qt::MouseButton button, const QList<QPoint>& path);

    void stroke(QPoint from, QPoint to) { drag(Qt::LeftButton, {from, to}); }
    void click(QToolButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    QImage page() const { return m_model->pages().currentPageImage(); }

    QTemporaryDir m_directory;
    ScriptedPrompter* m_prompter = nullptr;
    CursorSlots* m_cursors = nullptr;
    PictureColumn m_pictureColumn;
    BoardModel* m_model = nullptr;
    ClipArtPalette* m_palette = nullptr;
    ThumbnailStripModel* m_thumbnails = nullptr;
    BoardWindow* m_board = nullptr;
};

void BoardWindowTest::init()
{
    // Cursor files are found by bare name in the current directory, as beside the program.
    QDir::setCurrent(QStringLiteral(ZKALTO_PROGRAM_DIR));
    m_cursors = new CursorSlots;
    m_prompter = new ScriptedPrompter;
    m_model = new BoardModel(screen, m_directory.path() + QLatin1Char('/'), *m_prompter);
    m_palette =
        new ClipArtPalette(*m_model, m_pictureColumn, QStringLiteral(ZKALTO_PROGRAM_DIR "/"));
    m_thumbnails = new ThumbnailStripModel(*m_model);
    m_board = new BoardWindow(*m_model, *m_palette, *m_thumbnails, *m_cursors, m_pictureColumn);
    m_board->openFromDesktop();
    QVERIFY(QTest::qWaitForWindowExposed(m_board));
}

void BoardWindowTest::cleanup()
{
    delete m_board;
    delete m_thumbnails;
    delete m_palette;
    delete m_model;
    delete m_cursors;
    QVERIFY(m_prompter->unexpected().isEmpty());
    delete m_prompter;
}

void BoardWindowTest::drag(Qt::MouseButton button, const QList<QPoint>& path)
{
    QTest::mousePress(m_board, button, {}, path.first());
    for (qsizetype i = 1; i < path.size(); ++i)
        QTest::mouseMove(m_board, path[i]);
    QTest::mouseRelease(m_board, button, {}, path.last());
}

void BoardWindowTest::stripControlsStandInPlace_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("hint");
    QTest::newRow("stroke colour") << "SpeedButton9" << QRect(1, 0, 36, 19) << "笔画颜色";
    QTest::newRow("stroke swatch") << "LCP" << QRect(1, 5, 35, 9) << "笔画颜色";
    QTest::newRow("background swatch") << "RCP" << QRect(0, 20, 38, 20) << "背景颜色";
    QTest::newRow("width box") << "Edit1" << QRect(39, 1, 26, 39) << "笔画粗细";
    QTest::newRow("wider") << "SpeedButton7" << QRect(65, 0, 38, 19) << "笔画增粗";
    QTest::newRow("thinner") << "SpeedButton8" << QRect(65, 20, 38, 19) << "笔画变细";
    QTest::newRow("clear") << "SpeedButton5" << QRect(103, 0, 38, 38) << "清屏";
    QTest::newRow("undo") << "SpeedButton4" << QRect(141, 0, 38, 38) << "撤销";
    QTest::newRow("eraser") << "SpeedButton10" << QRect(179, 0, 38, 38) << "板擦";
    QTest::newRow("area erase") << "SpeedButton13" << QRect(218, 0, 38, 38) << "擦除";
    QTest::newRow("pen") << "SpeedButton3" << QRect(255, 0, 38, 38) << "书写";
    QTest::newRow("line") << "SpeedButton14" << QRect(293, 0, 36, 38) << "画直线";
    QTest::newRow("rectangle") << "SpeedButton15" << QRect(329, 0, 36, 38) << "画矩形";
    QTest::newRow("ellipse") << "SpeedButton17" << QRect(365, 0, 36, 38) << "画圆或椭圆";
    QTest::newRow("range") << "SpeedButton25" << QRect(401, 0, 38, 38) << "范围选择";
    QTest::newRow("zoom in") << "SpeedButton35" << QRect(439, 0, 38, 19) << "对选取画面放大";
    QTest::newRow("zoom out") << "SpeedButton36" << QRect(439, 19, 38, 19) << "恢复原始大小";
    QTest::newRow("thumbnails") << "SpeedButton1" << QRect(477, 0, 38, 19) << "缩略图查看";
    QTest::newRow("import") << "SpeedButton18" << QRect(477, 19, 38, 19) << "导入";
    QTest::newRow("page left") << "SpeedButton11" << QRect(516, 0, 31, 38) << "左翻页";
    QTest::newRow("page number") << "Edit2" << QRect(546, 0, 32, 38) << "页号";
    QTest::newRow("page right") << "SpeedButton12" << QRect(578, 0, 29, 38) << "右翻页";
    QTest::newRow("settings") << "SpeedButton6" << QRect(608, 0, 38, 38) << "设置";
    QTest::newRow("shade") << "SpeedButton2" << QRect(646, 0, 38, 38) << "消隐投影";
    QTest::newRow("to the desktop") << "SpeedButton40" << QRect(684, 0, 38, 38) << "操作演示";
}

void BoardWindowTest::stripControlsStandInPlace()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, hint);
    auto* control = m_board->Panel1->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), geometry);
    QCOMPARE(control->toolTip(), hint);
    QVERIFY(control->isVisible());
}

void BoardWindowTest::openingFillsTheFreshPageWithTheSwatch()
{
    QCOMPARE(m_board->geometry(), QRect(QPoint(0, 0), screen));
    QCOMPARE(m_board->objectName(), QStringLiteral("TForm3"));
    QCOMPARE(m_board->windowTitle(), QStringLiteral("白板"));
    QCOMPARE(m_board->Panel2->geometry(), QRect(0, 0, 1023, 40));
    QCOMPARE(m_board->Panel1->geometry().right(), 1023 - 2);
    QCOMPARE(m_board->Panel3->geometry(), QRect(3, 6, 82, 28));
    QCOMPARE(m_board->Edit1->text(), QStringLiteral("2"));
    QCOMPARE(m_board->Edit2->text(), QStringLiteral("1"));
    QCOMPARE(m_model->backgroundSwatch(), grey);
    QCOMPARE(m_model->pages().currentPageImage().pixelColor(500, 500), grey);
    QCOMPARE(m_model->screen().backgroundColour(), grey);
    QCOMPARE(m_model->pages().current().state, PageState::NeverFilled);
    for (QWidget* hidden :
         {static_cast<QWidget*>(m_board->Image2), static_cast<QWidget*>(m_board->Panel4),
          static_cast<QWidget*>(m_board->Panel5), static_cast<QWidget*>(m_board->Panel9)})
        QVERIFY(!hidden->isVisible());
    QCOMPARE(m_model->pages().current().panelBounds, QRect(0, 41, 368, 723));
}

void BoardWindowTest::toolButtonsActLikeRadioButtons()
{
    QVERIFY(m_board->SpeedButton3->isChecked());
    QCOMPARE(m_model->toolMode(), ToolMode::Pen);
    const std::pair<QToolButton*, ToolMode> choices[] = {
        {m_board->SpeedButton14, ToolMode::Line},
        {m_board->SpeedButton15, ToolMode::Rectangle},
        {m_board->SpeedButton17, ToolMode::Ellipse},
        {m_board->SpeedButton10, ToolMode::Eraser},
        {m_board->SpeedButton25, ToolMode::RangeSelection},
        {m_board->SpeedButton13, ToolMode::AreaErase},
        {m_board->SpeedButton3, ToolMode::Pen},
    };
    const QList<QToolButton*> group = {m_board->SpeedButton3,  m_board->SpeedButton14,
                                       m_board->SpeedButton15, m_board->SpeedButton17,
                                       m_board->SpeedButton10, m_board->SpeedButton25,
                                       m_board->SpeedButton13};
    for (const auto& [button, mode] : choices) {
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(m_model->toolMode(), mode);
        QCOMPARE(std::count_if(group.begin(), group.end(), [](auto* b) { return b->isChecked(); }),
                 1);
        QVERIFY(button->isChecked());
    }
}

void BoardWindowTest::eachToolShowsItsOwnCursor()
{
    QTest::mouseClick(m_board->SpeedButton10, Qt::LeftButton);
    const QCursor eraser = m_board->cursor();
    QCOMPARE(eraser.shape(), Qt::BitmapCursor);
    QTest::mouseClick(m_board->SpeedButton3, Qt::LeftButton);
    QCOMPARE(m_board->cursor().shape(), Qt::BitmapCursor);
    QVERIFY(m_board->cursor().pixmap().toImage() != eraser.pixmap().toImage());
}

void BoardWindowTest::missingCursorFileGivesTheArrow()
{
    QTemporaryDir empty;
    QDir::setCurrent(empty.path());
    QTest::mouseClick(m_board->SpeedButton14, Qt::LeftButton);
    QCOMPARE(m_board->cursor().shape(), Qt::ArrowCursor);
}

void BoardWindowTest::penDragLandsInThePageAtRelease()
{
    QTest::mousePress(m_board, Qt::LeftButton, {}, QPoint(100, 300));
    QTest::mouseMove(m_board, QPoint(300, 300));
    // While the pointer moves the ink is on the window only.
    QCOMPARE(m_model->screen().pixel(QPoint(200, 300)), QColor(Qt::red));
    QCOMPARE(m_model->pages().currentPageImage().pixelColor(200, 300), grey);
    QTest::mouseRelease(m_board, Qt::LeftButton, {}, QPoint(300, 300));
    QCOMPARE(m_model->pages().currentPageImage().pixelColor(200, 300), QColor(Qt::red));
    QCOMPARE(m_model->pages().scratchImage().pixelColor(200, 300), grey);
    QCOMPARE(m_model->pages().current().state, PageState::WrittenOn);
}

void BoardWindowTest::rectangleDragShowsItsSize()
{
    QTest::mouseClick(m_board->SpeedButton15, Qt::LeftButton);
    drag(Qt::LeftButton, {QPoint(100, 100), QPoint(200, 150), QPoint(300, 200)});
    QCOMPARE(m_board->Panel3->text(), QStringLiteral("10，5"));
    QTest::mouseClick(m_board->SpeedButton3, Qt::LeftButton);
    QCOMPARE(m_board->Panel3->text(), QString());
}

void BoardWindowTest::rightButtonDragDrawsNothingButCommits()
{
    QImage before = m_model->pages().currentPageImage().copy();
    m_model->pages().scratchImage().fill(Qt::black);
    drag(Qt::RightButton, {QPoint(400, 400), QPoint(500, 450), QPoint(600, 500)});
    QCOMPARE(m_model->pages().currentPageImage(), before);
    QCOMPARE(m_model->pages().scratchImage(), before);
    QCOMPARE(m_model->pages().current().state, PageState::NeverFilled);
}

void BoardWindowTest::freshBoardTurnsRightOnlyWhenWrittenOn()
{
    click(m_board->SpeedButton12);
    QCOMPARE(m_model->pages().pageCount(), 1);
    QCOMPARE(m_board->Edit2->text(), QStringLiteral("1"));

    stroke(QPoint(100, 100), QPoint(200, 200));
    click(m_board->SpeedButton12);
    QCOMPARE(m_model->pages().pageCount(), 2);
    QCOMPARE(m_board->Edit2->text(), QStringLiteral("2"));
    QCOMPARE(page().pixelColor(150, 150), grey);
    QCOMPARE(m_model->screen().pixel(QPoint(150, 150)), grey);
    // No empty page follows an empty page.
    click(m_board->SpeedButton12);
    QCOMPARE(m_model->pages().pageCount(), 2);
}

void BoardWindowTest::turningBackAndForthKeepsPages()
{
    stroke(QPoint(100, 100), QPoint(200, 100));
    click(m_board->SpeedButton12);
    stroke(QPoint(300, 300), QPoint(400, 300));
    click(m_board->SpeedButton11);
    QCOMPARE(m_board->Edit2->text(), QStringLiteral("1"));
    QCOMPARE(m_model->screen().pixel(QPoint(150, 100)), QColor(Qt::red));
    QCOMPARE(m_model->screen().pixel(QPoint(350, 300)), grey);
    click(m_board->SpeedButton11); // page 1 is the first
    QCOMPARE(m_board->Edit2->text(), QStringLiteral("1"));

    click(m_board->SpeedButton12);
    QCOMPARE(m_model->pages().pageCount(), 2);
    QCOMPARE(m_board->Edit2->text(), QStringLiteral("2"));
    QCOMPARE(m_model->screen().pixel(QPoint(350, 300)), QColor(Qt::red));
    // Page 2 was written on and is the last: the next turn adds page 3.
    click(m_board->SpeedButton12);
    QCOMPARE(m_model->pages().pageCount(), 3);
}

void BoardWindowTest::pageNinetyNineIsTheLast()
{
    for (int n = 1; n < 99; ++n) {
        stroke(QPoint(100, 100), QPoint(110, 100));
        click(m_board->SpeedButton12);
    }
    QCOMPARE(m_board->Edit2->text(), QStringLiteral("99"));
    stroke(QPoint(100, 100), QPoint(110, 100));
    click(m_board->SpeedButton12);
    QCOMPARE(m_model->pages().pageCount(), 99);
    QCOMPARE(m_model->pages().currentPage(), 99);
    QCOMPARE(m_board->Edit2->text(), QStringLiteral("99"));
}

void BoardWindowTest::undoTakesBackTheLastStrokeOnly()
{
    stroke(QPoint(100, 300), QPoint(300, 300));
    const QImage afterFirst = page();
    stroke(QPoint(100, 400), QPoint(300, 400));
    click(m_board->SpeedButton4);
    QCOMPARE(page(), afterFirst);
    QCOMPARE(m_model->screen().image(), afterFirst);
    click(m_board->SpeedButton4);
    QCOMPARE(page(), afterFirst);
    QCOMPARE(m_model->pages().current().state, PageState::WrittenOn);
}

void BoardWindowTest::undoAfterAPageTurnCopiesTheSquareAtTheCorner()
{
    stroke(QPoint(60, 60), QPoint(80, 80));
    m_model->pages().scratchImage().fill(Qt::yellow);
    click(m_board->SpeedButton12);
    click(m_board->SpeedButton4);
    // The square (-90, -90, 90, 90) comes from the scratch image.
    QCOMPARE(page().pixelColor(89, 89), QColor(Qt::yellow));
    QCOMPARE(page().pixelColor(90, 45), grey);
    QCOMPARE(page().pixelColor(45, 90), grey);
}

void BoardWindowTest::strokeWidthStaysWithinOneToNine()
{
    for (int i = 0; i < 4; ++i)
        click(m_board->SpeedButton8);
    QCOMPARE(m_board->Edit1->text(), QStringLiteral("1"));
    QCOMPARE(m_model->pen().width, 1);
    for (int i = 0; i < 8; ++i)
        click(m_board->SpeedButton7);
    QCOMPARE(m_board->Edit1->text(), QStringLiteral("9"));
    click(m_board->SpeedButton7);
    QCOMPARE(m_board->Edit1->text(), QStringLiteral("9"));
    QCOMPARE(m_model->pen().width, 9);
}

void BoardWindowTest::eraserWidthFollowsTheStrokeWidth()
{
    click(m_board->SpeedButton8); // width 1
    click(m_board->SpeedButton10);
    QList<int> widths{m_model->pen().width};
    for (int i = 0; i < 8; ++i) {
        click(m_board->SpeedButton7);
        widths << m_model->pen().width;
    }
    QCOMPARE(widths, (QList<int>{15, 20, 30, 40, 50, 60, 70, 80, 90}));
}

void BoardWindowTest::clearingFillsWithTheSwatchOrTheUnderlay()
{
    stroke(QPoint(100, 300), QPoint(300, 300));
    QImage underlay(screen, QImage::Format_RGB32);
    underlay.fill(Qt::cyan);
    m_model->pages().underlayImage() = underlay;
    m_model->pages().setUnderlayActive(true);
    click(m_board->SpeedButton5);
    QCOMPARE(page().pixelColor(200, 300), QColor(Qt::cyan));
    QCOMPARE(m_model->pages().current().state, PageState::WrittenOn);

    m_model->pages().setUnderlayActive(false);
    click(m_board->SpeedButton5);
    QCOMPARE(page().pixelColor(200, 300), grey);
    QCOMPARE(m_model->screen().pixel(QPoint(200, 300)), grey);
    QCOMPARE(m_model->pages().current().state, PageState::Cleared);
}

void BoardWindowTest::backgroundColour_data()
{
    QTest::addColumn<bool>("written");
    QTest::addColumn<QColor>("chosen");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<QColor>("pageAfter");
    QTest::addColumn<quint32>("textPanel");
    QTest::newRow("same colour only redraws")
        << false << grey << QList<bool>{} << grey << quint32(0);
    QTest::newRow("fresh page takes it without a question")
        << false << QColor(Qt::blue) << QList<bool>{} << QColor(Qt::blue)
        << ColourRef::fromColor(Qt::blue);
    QTest::newRow("black gives the dark text panel")
        << false << QColor(Qt::black) << QList<bool>{} << QColor(Qt::black) << quint32(6447714);
    QTest::newRow("written page, Yes clears")
        << true << QColor(Qt::white) << QList<bool>{true} << QColor(Qt::white)
        << ColourRef::fromColor(Qt::white);
    QTest::newRow("written page, No keeps the drawing")
        << true << QColor(Qt::white) << QList<bool>{false} << grey << quint32(0);
}

void BoardWindowTest::backgroundColour()
{
    QFETCH(bool, written);
    QFETCH(QColor, chosen);
    QFETCH(QList<bool>, answers);
    QFETCH(QColor, pageAfter);
    QFETCH(quint32, textPanel);
    if (written)
        stroke(QPoint(100, 300), QPoint(300, 300));
    const PageState stateBefore = m_model->pages().current().state;
    m_prompter->answerColour(chosen);
    for (bool yes : answers)
        m_prompter->answerYesNo(yes);
    QTest::mouseClick(m_board->RCP, Qt::LeftButton);

    QCOMPARE(m_prompter->questions().size(), 1 + answers.size());
    if (!answers.isEmpty())
        QCOMPARE(m_prompter->questions().last().text, QStringLiteral("是否清除本页内容？"));
    QCOMPARE(m_model->backgroundSwatch(), chosen);
    QCOMPARE(page().pixelColor(500, 500), pageAfter);
    QCOMPARE(m_model->screen().pixel(QPoint(500, 500)), pageAfter);
    if (written)
        QCOMPARE(page().pixelColor(200, 300) == QColor(Qt::red), answers == QList<bool>{false});
    if (textPanel != 0)
        QCOMPARE(m_board->Panel4->RichEdit1->palette().color(QPalette::Base),
                 ColourRef::toColor(textPanel));
    const bool cleared = answers == QList<bool>{true};
    QCOMPARE(m_model->pages().current().state, cleared ? PageState::Cleared : stateBefore);

    // Pages filled from now on take the new colour.
    if (written && !cleared) {
        click(m_board->SpeedButton12);
        QCOMPARE(page().pixelColor(500, 500), chosen);
    }
}

void BoardWindowTest::strokeColourSparesTheEraser()
{
    m_prompter->answerColour(QColor(Qt::blue));
    click(m_board->SpeedButton9);
    QCOMPARE(m_model->strokeColour(), QColor(Qt::blue));
    QCOMPARE(m_model->pen().colour, QColor(Qt::blue));
    click(m_board->SpeedButton10);
    m_prompter->answerColour(QColor(Qt::green));
    QTest::mouseClick(m_board->LCP, Qt::LeftButton);
    QCOMPARE(m_model->strokeColour(), QColor(Qt::green));
    QCOMPARE(m_model->pen().colour, grey);
}

void BoardWindowTest::cutSelectionFloatsAndStampsBack()
{
    stroke(QPoint(150, 150), QPoint(250, 150));
    click(m_board->SpeedButton25);
    drag(Qt::LeftButton, {QPoint(100, 100), QPoint(200, 150), QPoint(300, 200)});
    QVERIFY(m_board->Image2->isVisible());
    QCOMPARE(m_board->Image2->geometry(), QRect(100, 100, 200, 100));
    QCOMPARE(page().pixelColor(200, 150), grey); // the hole
    // Dragging it away shows the hole; a press elsewhere stamps its interior where it lies.
    QTest::mousePress(m_board->Image2, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(m_board->Image2, QPoint(10, 210));
    // The picture followed: the pointer is back where it held the picture.
    QTest::mouseRelease(m_board->Image2, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(m_board->Image2->geometry(), QRect(100, 300, 200, 100));
    QCOMPARE(m_model->screen().pixel(QPoint(200, 150)), grey);
    QTest::mouseClick(m_board, Qt::LeftButton, {}, QPoint(700, 600));
    QVERIFY(!m_board->Image2->isVisible());
    QCOMPARE(page().pixelColor(200, 350), QColor(Qt::red));
    QCOMPARE(page().pixelColor(100, 300), grey); // the dotted frame stays out
}

void BoardWindowTest::zoomedPictureIsStampedByAToolAtItsSize()
{
    click(m_board->SpeedButton25);
    drag(Qt::LeftButton, {QPoint(100, 100), QPoint(300, 200)});
    click(m_board->SpeedButton35);
    click(m_board->SpeedButton35);
    QCOMPARE(m_board->Image2->size(), QSize(450, 225));
    click(m_board->SpeedButton36);
    QCOMPARE(m_board->Image2->size(), QSize(300, 150));
    const QRect zoomed = m_board->Image2->geometry();
    const QImage picture = m_model->floatingPicture().picture();
    click(m_board->SpeedButton3);
    QVERIFY(!m_board->Image2->isVisible());
    QCOMPARE(m_model->toolMode(), ToolMode::Pen);
    QVERIFY(QFile::exists(m_directory.filePath(QStringLiteral("tmp.bmt"))));
    // All but the outermost rows and columns land at the zoomed place and size.
    const QRect inner = QRect(QPoint(1, 1), zoomed.size()).adjusted(0, 0, -2, -2);
    QCOMPARE(page().copy(inner.translated(zoomed.topLeft())),
             picture.copy(inner).convertToFormat(page().format()));
}

void BoardWindowTest::undoAfterACutCancelsIt()
{
    stroke(QPoint(150, 150), QPoint(250, 150));
    const QImage before = page();
    click(m_board->SpeedButton25);
    drag(Qt::LeftButton, {QPoint(100, 100), QPoint(300, 200)});
    click(m_board->SpeedButton4);
    QVERIFY(!m_board->Image2->isVisible());
    QCOMPARE(page(), before);
    QCOMPARE(m_model->screen().image(), before);
}

void BoardWindowTest::clearAfterACutWipesOnlyTheSelection()
{
    stroke(QPoint(150, 150), QPoint(250, 150));
    stroke(QPoint(400, 400), QPoint(500, 400));
    click(m_board->SpeedButton25);
    drag(Qt::LeftButton, {QPoint(100, 100), QPoint(300, 200)});
    click(m_board->SpeedButton5);
    QVERIFY(!m_board->Image2->isVisible());
    QCOMPARE(page().pixelColor(200, 150), grey);
    QCOMPARE(page().pixelColor(450, 400), QColor(Qt::red));
    QCOMPARE(m_model->pages().current().state, PageState::WrittenOn);
    click(m_board->SpeedButton5);
    QCOMPARE(page().pixelColor(450, 400), grey);
}

void BoardWindowTest::tallPictureGoesOnOnTheNextPage()
{
    QImage tall(300, 1000, QImage::Format_RGB32);
    tall.fill(Qt::darkGreen);
    m_model->placePicture(tall, QPoint(200, 50), true, 2);
    stroke(QPoint(600, 600), QPoint(700, 600));
    click(m_board->SpeedButton12); // the picture is stamped on page 1 and goes on
    QCOMPARE(m_model->pages().pageImage(1).pixelColor(300, 700), QColor(Qt::darkGreen));
    QVERIFY(m_board->Image2->isVisible());
    QCOMPARE(m_board->Image2->geometry(), QRect(200, 90 - 768, 300, 1000));
    QCOMPARE(m_model->floatingPicture().tag(), 0);
}

void BoardWindowTest::pressesOnTheStripNeverReachThePage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("opensTheColourDialog");
    const int left = Qt::LeftButton;
    const int right = Qt::RightButton;
    QTest::newRow("page number, left") << "Edit2" << QPoint(10, 10) << left << false;
    QTest::newRow("page number, right") << "Edit2" << QPoint(10, 10) << right << false;
    QTest::newRow("width box") << "Edit1" << QPoint(10, 10) << left << false;
    QTest::newRow("size readout") << "Panel3" << QPoint(40, 10) << left << false;
    QTest::newRow("gap of the strip") << "Panel2" << QPoint(200, 20) << left << false;
    QTest::newRow("gap between the buttons") << "Panel1" << QPoint(38, 10) << left << false;
    QTest::newRow("background swatch, jittered") << "RCP" << QPoint(5, 5) << left << true;
    QTest::newRow("pen swatch, right") << "LCP" << QPoint(5, 5) << right << false;
}

void BoardWindowTest::pressesOnTheStripNeverReachThePage()
{
    QFETCH(QString, name);
    QFETCH(QPoint, at);
    QFETCH(int, button);
    QFETCH(bool, opensTheColourDialog);
    auto* control = m_board->findChild<QWidget*>(name);
    QVERIFY(control);
    const QImage before = page();
    m_model->pages().scratchImage().fill(Qt::yellow);
    if (opensTheColourDialog)
        m_prompter->answerColour(std::nullopt);
    // A touch that jitters by two pixels, then a drag down onto the page.
    QTest::mousePress(control, Qt::MouseButton(button), {}, at);
    QTest::mouseMove(control, at + QPoint(2, 1));
    QTest::mouseRelease(control, Qt::MouseButton(button), {}, at + QPoint(2, 1));
    QTest::mousePress(control, Qt::MouseButton(button), {}, at);
    QTest::mouseMove(m_board, QPoint(300, 300));
    QTest::mouseRelease(m_board, Qt::MouseButton(button), {}, QPoint(300, 300));

    QCOMPARE(page(), before);
    QCOMPARE(m_model->screen().image(), before);
    QCOMPARE(m_model->pages().scratchImage().pixelColor(500, 500), QColor(Qt::yellow));
    QCOMPARE(m_model->pages().current().state, PageState::NeverFilled);
    // Nothing was written on: the next page is not added.
    click(m_board->SpeedButton12);
    QCOMPARE(m_model->pages().pageCount(), 1);
}

void BoardWindowTest::releaseWithoutAPressOnThePageIsIgnored()
{
    stroke(QPoint(100, 300), QPoint(300, 300));
    const QImage written = page();
    // The release that ends a dialog's click arrives alone.
    QTest::mouseRelease(m_board, Qt::LeftButton, {}, QPoint(600, 600));
    QCOMPARE(page(), written);
    click(m_board->SpeedButton4);
    QCOMPARE(page().pixelColor(200, 300), grey);
}

QTEST_MAIN(BoardWindowTest)
#include "BoardWindowTest.moc"
