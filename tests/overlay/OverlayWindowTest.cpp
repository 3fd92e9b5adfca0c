#include "overlay/window/OverlayWindow.h"
#include "board/model/BoardModel.h"
#include "board/tools/CursorFile.h"
#include "overlay/OverlayModel.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/ScriptedPrompter.h"

#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {
const QSize screen(1024, 768);
} // namespace

class OverlayWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void toolbarControlsStandInPlace_data();
    void toolbarControlsStandInPlace();
    void compactToolbarReplacesTheFullOne();
    void penDragLandsInTheWorkingPictureAtRelease();
    void pressesOnTheToolbarNeverReachTheScreen_data();
    void pressesOnTheToolbarNeverReachTheScreen();
    void selectionFloatsAndFollowsTheDrag();

private:
    QImage working() const { return m_board->pages().scratchImage(); }

    QTemporaryDir m_directory;
    ScriptedPrompter* m_prompter = nullptr;
    FakeClock m_clock;
    CursorSlots* m_cursors = nullptr;
    BoardModel* m_board = nullptr;
    OverlayModel* m_model = nullptr;
    OverlayWindow* m_overlay = nullptr;
};

void OverlayWindowTest::init()
{
    QDir::setCurrent(QStringLiteral(ZKALTO_PROGRAM_DIR));
    const QString directory = m_directory.path() + QLatin1Char('/');
    m_prompter = new ScriptedPrompter;
    m_cursors = new CursorSlots;
    m_board = new BoardModel(screen, directory, *m_prompter);
    m_model = new OverlayModel(*m_board, directory, *m_prompter, m_clock);
    m_overlay = new OverlayWindow(*m_model, *m_cursors);
    QImage desktop(screen, QImage::Format_RGB32);
    desktop.fill(Qt::darkCyan);
    m_model->open(desktop);
    m_overlay->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_overlay));
}

void OverlayWindowTest::cleanup()
{
    delete m_overlay;
    delete m_model;
    delete m_board;
    delete m_cursors;
    QVERIFY(m_prompter->unexpected().isEmpty());
    delete m_prompter;
}

void OverlayWindowTest::toolbarControlsStandInPlace_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("hint");
    QTest::newRow("pen colour") << "SpeedButton9" << QRect(0, 0, 36, 38) << "笔画颜色";
    QTest::newRow("swatch") << "LCP" << QRect(1, 16, 36, 9) << "笔画颜色";
    QTest::newRow("width box") << "Edit1" << QRect(36, 0, 27, 38) << "笔画粗细";
    QTest::newRow("wider") << "SpeedButton7" << QRect(63, 0, 38, 19) << "笔画增粗";
    QTest::newRow("thinner") << "SpeedButton8" << QRect(63, 20, 38, 19) << "笔画变细";
    QTest::newRow("clear") << "SpeedButton5" << QRect(101, 1, 38, 38) << "清除";
    QTest::newRow("undo") << "SpeedButton24" << QRect(139, 1, 38, 38) << "撤销";
    QTest::newRow("erase") << "SpeedButton2" << QRect(177, 1, 38, 38) << "擦除";
    QTest::newRow("write") << "SpeedButton4" << QRect(214, 1, 38, 38) << "书写";
    QTest::newRow("line") << "SpeedButton26" << QRect(252, 1, 36, 38) << "画直线";
    QTest::newRow("range") << "SpeedButton15" << QRect(288, 1, 38, 38) << "选择范围";
    QTest::newRow("capture here") << "SpeedButton13" << QRect(326, 1, 38, 19)
                                  << "截取画面到书写板当前页";
    QTest::newRow("capture next") << "SpeedButton14" << QRect(326, 21, 38, 19)
                                  << "截取画面添加到书写板下一页";
    QTest::newRow("enlarge") << "SpeedButton11" << QRect(364, 1, 38, 19) << "对选取画面放大";
    QTest::newRow("reduce") << "SpeedButton12" << QRect(364, 21, 38, 19) << "恢复原始大小";
    QTest::newRow("board") << "SpeedButton6" << QRect(400, 1, 38, 38) << "书写板";
    QTest::newRow("shade") << "SpeedButton10" << QRect(438, 1, 38, 38) << "消隐投影";
    QTest::newRow("help") << "SpeedButton1" << QRect(476, 1, 38, 38) << "帮助";
    QTest::newRow("compact") << "SpeedButton18" << QRect(514, 1, 38, 38) << "缩减";
    QTest::newRow("desktop") << "SpeedButton3" << QRect(552, 1, 38, 38) << "操作演示";
}

void OverlayWindowTest::toolbarControlsStandInPlace()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, hint);
    auto* control = m_overlay->Panel1->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), geometry);
    QCOMPARE(control->toolTip(), hint);
    QVERIFY(control->isVisible());
}

void OverlayWindowTest::compactToolbarReplacesTheFullOne()
{
    QCOMPARE(m_overlay->Panel1->geometry(), QRect(433, 0, 591, 40));
    QVERIFY(!m_overlay->Panel2->isVisible());
    QCOMPARE(m_overlay->Edit1->text(), QStringLiteral("3"));
    QVERIFY(m_overlay->SpeedButton4->isChecked());
    QVERIFY(m_overlay->SpeedButton25->isChecked());

    QTest::mouseClick(m_overlay->SpeedButton18, Qt::LeftButton);
    QVERIFY(!m_overlay->Panel1->isVisible());
    QVERIFY(m_overlay->Panel2->isVisible());
    QCOMPARE(m_overlay->Panel2->geometry(), QRect(588, 0, 343, 41));
    QTest::mouseClick(m_overlay->SpeedButton21, Qt::LeftButton);
    QCOMPARE(m_model->tool(), OverlayTool::Erase);
    QVERIFY(m_overlay->SpeedButton2->isChecked());
    QTest::mouseClick(m_overlay->SpeedButton23, Qt::LeftButton);
    QVERIFY(m_overlay->Panel1->isVisible());
    QVERIFY(!m_overlay->Panel2->isVisible());
}

void OverlayWindowTest::penDragLandsInTheWorkingPictureAtRelease()
{
    QTest::mousePress(m_overlay, Qt::LeftButton, {}, QPoint(100, 300));
    QTest::mouseMove(m_overlay, QPoint(300, 300));
    QCOMPARE(m_model->screen().image().pixelColor(200, 300), QColor(255, 128, 0));
    QCOMPARE(working().pixelColor(200, 300), QColor(Qt::darkCyan));
    QTest::mouseRelease(m_overlay, Qt::LeftButton, {}, QPoint(300, 300));
    QCOMPARE(working().pixelColor(200, 300), QColor(255, 128, 0));
}

void OverlayWindowTest::pressesOnTheToolbarNeverReachTheScreen_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QPoint>("at");
    QTest::newRow("width box") << "Edit1" << QPoint(10, 10);
    QTest::newRow("gap beside the capture buttons") << "Panel1" << QPoint(340, 20);
}

void OverlayWindowTest::pressesOnTheToolbarNeverReachTheScreen()
{
    QFETCH(QString, name);
    QFETCH(QPoint, at);
    auto* control = m_overlay->findChild<QWidget*>(name);
    QVERIFY(control);
    const QImage before = working().copy();
    QTest::mousePress(control, Qt::LeftButton, {}, at);
    QTest::mouseMove(m_overlay, QPoint(300, 300));
    QTest::mouseRelease(m_overlay, Qt::LeftButton, {}, QPoint(300, 300));
    QCOMPARE(working(), before);
    QCOMPARE(m_model->screen().image(), before);
}

void OverlayWindowTest::selectionFloatsAndFollowsTheDrag()
{
    QTest::mouseClick(m_overlay->SpeedButton15, Qt::LeftButton);
    QTest::mousePress(m_overlay, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(m_overlay, QPoint(300, 200));
    QTest::mouseRelease(m_overlay, Qt::LeftButton, {}, QPoint(300, 200));
    QVERIFY(m_overlay->Image1->isVisible());
    QCOMPARE(m_overlay->Image1->geometry(), QRect(100, 100, 200, 100));
    QTest::mousePress(m_overlay->Image1, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(m_overlay->Image1, QPoint(60, 110));
    QTest::mouseRelease(m_overlay->Image1, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(m_overlay->Image1->geometry(), QRect(150, 200, 200, 100));
    // Where the selection lay, the working picture shows: no rubber band is left.
    QCOMPARE(m_model->screen().image().pixelColor(100, 100), QColor(Qt::darkCyan));
    QTest::mouseClick(m_overlay->SpeedButton12, Qt::LeftButton);
    QCOMPARE(m_overlay->Image1->size(), QSize(133, 67));
}

QTEST_MAIN(OverlayWindowTest)
#include "OverlayWindowTest.moc"
