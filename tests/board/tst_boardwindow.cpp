#include "board/BoardWindow.h"
#include "board/CursorFile.h"
#include "ui/ColourSwatch.h"

#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
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

private:
    void drag(Qt::MouseButton button, const QList<QPoint>& path);

    CursorSlots* m_cursors = nullptr;
    BoardWindow* m_board = nullptr;
};

void BoardWindowTest::init()
{
    // Cursor files are found by bare name in the current directory, as beside the program.
    QDir::setCurrent(QStringLiteral(ZKALTO_PROGRAM_DIR));
    m_cursors = new CursorSlots;
    m_board = new BoardWindow(screen, QDir::tempPath() + QLatin1Char('/'), *m_cursors);
    m_board->openFromDesktop();
    QVERIFY(QTest::qWaitForWindowExposed(m_board));
}

void BoardWindowTest::cleanup()
{
    delete m_board;
    delete m_cursors;
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
    QCOMPARE(m_board->backgroundSwatch(), grey);
    QCOMPARE(m_board->pages().currentPageImage().pixelColor(500, 500), grey);
    QCOMPARE(m_board->surface().backgroundColour(), grey);
    QCOMPARE(m_board->pages().current().state, PageState::NeverFilled);
    for (QWidget* hidden : {static_cast<QWidget*>(m_board->Image2), static_cast<QWidget*>(m_board->Panel4),
                            static_cast<QWidget*>(m_board->Panel5), static_cast<QWidget*>(m_board->Panel9)})
        QVERIFY(!hidden->isVisible());
    QCOMPARE(m_board->pages().current().panelBounds, QRect(0, 41, 368, 723));
}

void BoardWindowTest::toolButtonsActLikeRadioButtons()
{
    QVERIFY(m_board->SpeedButton3->isChecked());
    QCOMPARE(m_board->tools().toolMode(), ToolMode::Pen);
    const std::pair<QToolButton*, ToolMode> choices[] = {
        {m_board->SpeedButton14, ToolMode::Line},    {m_board->SpeedButton15, ToolMode::Rectangle},
        {m_board->SpeedButton17, ToolMode::Ellipse}, {m_board->SpeedButton10, ToolMode::Eraser},
        {m_board->SpeedButton25, ToolMode::RangeSelection},
        {m_board->SpeedButton13, ToolMode::AreaErase}, {m_board->SpeedButton3, ToolMode::Pen},
    };
    const QList<QToolButton*> group = {m_board->SpeedButton3,  m_board->SpeedButton14,
                                       m_board->SpeedButton15, m_board->SpeedButton17,
                                       m_board->SpeedButton10, m_board->SpeedButton25,
                                       m_board->SpeedButton13};
    for (const auto& [button, mode] : choices) {
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(m_board->tools().toolMode(), mode);
        QCOMPARE(std::count_if(group.begin(), group.end(), [](auto* b) { return b->isChecked(); }), 1);
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
    QCOMPARE(m_board->surface().pixel(QPoint(200, 300)), QColor(Qt::red));
    QCOMPARE(m_board->pages().currentPageImage().pixelColor(200, 300), grey);
    QTest::mouseRelease(m_board, Qt::LeftButton, {}, QPoint(300, 300));
    QCOMPARE(m_board->pages().currentPageImage().pixelColor(200, 300), QColor(Qt::red));
    QCOMPARE(m_board->pages().scratchImage().pixelColor(200, 300), grey);
    QCOMPARE(m_board->pages().current().state, PageState::WrittenOn);
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
    QImage before = m_board->pages().currentPageImage().copy();
    m_board->pages().scratchImage().fill(Qt::black);
    drag(Qt::RightButton, {QPoint(400, 400), QPoint(500, 450), QPoint(600, 500)});
    QCOMPARE(m_board->pages().currentPageImage(), before);
    QCOMPARE(m_board->pages().scratchImage(), before);
    QCOMPARE(m_board->pages().current().state, PageState::NeverFilled);
}

QTEST_MAIN(BoardWindowTest)
#include "tst_boardwindow.moc"
