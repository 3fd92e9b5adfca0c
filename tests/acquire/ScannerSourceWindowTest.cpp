// The scanner source window (TForm11) in the running program on a fake source manager: its
// layout, choosing a source and the page mode, "确定" and "取消", the busy pointer while the
// scanner works, and the two messages.

#include "ProgramFixture.h"
#include "WhenShown.h"

#include "acquire/ScanSession.h"
#include "acquire/window/ScannerSourceWindow.h"
#include "app/ToolbarWindow.h"
#include "board/model/BoardModel.h"
#include "board/window/BoardWindow.h"
#include "board/window/ContentPanel.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

namespace {

QStringList messagesOf(const ScriptedPrompter& prompter)
{
    QStringList texts;
    for (const ScriptedPrompter::Question& question : prompter.questions())
        texts.append(question.text);
    return texts;
}

// The program with the board open and a source manager of two scanners delivering one page.
struct ScanFixture : ProgramFixture {
    ScanFixture()
    {
        scanner->setSources({{QStringLiteral("usb:1"), QStringLiteral("Flatbed A4")},
                             {QStringLiteral("net:2"), QStringLiteral("Office MFP")}});
        QImage page(1000, 800, QImage::Format_RGB32);
        page.fill(Qt::white);
        scanner->setPages({page});
        start();
        windows().toolbar->show();
        QTest::mouseClick(windows().toolbar->SpeedButton4, Qt::LeftButton);
    }
    ScannerSourceWindow* window() const { return windows().scannerSource; }
    ScanSession& session() { return program->scanSession(); }
};

} // namespace

class ScannerSourceWindowTest : public QObject {
    Q_OBJECT
private slots:
    void showsSourcesAndScansTheChosenOne();
    void pageModeStaysAndCancelUnloads();
    void messages_data();
    void messages();
};

void ScannerSourceWindowTest::showsSourcesAndScansTheChosenOne()
{
    ScanFixture fixture;
    ScannerSourceWindow* window = fixture.window();
    bool looked = false;
    whenShown(window, [&] {
        QCOMPARE(QApplication::activeModalWidget(), window);
        QCOMPARE(window->objectName(), QStringLiteral("TForm11"));
        QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(window->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(window->geometry(), QRect((1024 - 335) / 2, (768 - 208) / 2, 335, 208));
        QCOMPARE(window->font().pixelSize(), 12);
        QCOMPARE(window->Label1->text(), QStringLiteral("选择来源："));
        QCOMPARE(window->Label1->pos(), QPoint(6, 6));
        QCOMPARE(window->ListBox1->geometry(), QRect(2, 26, 225, 175));
        QCOMPARE(window->ListBox1->count(), 2);
        QCOMPARE(window->ListBox1->item(0)->text(), QStringLiteral("Flatbed A4"));
        QCOMPARE(window->ListBox1->item(1)->text(), QStringLiteral("Office MFP"));
        QCOMPARE(window->ListBox1->currentRow(), 0);
        QCOMPARE(window->RadioButton1->text(), QStringLiteral("单页"));
        QCOMPARE(window->RadioButton1->geometry(), QRect(244, 34, 79, 29));
        QVERIFY(window->RadioButton1->isChecked());
        QCOMPARE(window->RadioButton2->text(), QStringLiteral("双页"));
        QCOMPARE(window->RadioButton2->geometry(), QRect(244, 70, 79, 29));
        QCOMPARE(window->BitBtn1->text(), QStringLiteral("确定"));
        QCOMPARE(window->BitBtn1->geometry(), QRect(244, 114, 81, 31));
        QCOMPARE(window->BitBtn1->font().pixelSize(), 13);
        QCOMPARE(window->BitBtn2->text(), QStringLiteral("取消"));
        QCOMPARE(window->BitBtn2->geometry(), QRect(245, 162, 80, 31));
        looked = true;
        QTest::mouseClick(window->ListBox1->viewport(), Qt::LeftButton, {},
                          window->ListBox1->visualItemRect(window->ListBox1->item(1)).center());
        fixture.scanner->holdAcquisition();
        QTest::mouseClick(window->BitBtn1, Qt::LeftButton);
    });
    // The content panel's scanner button starts it, and the panel closes for the scan.
    BoardWindow* board = fixture.windows().board;
    QTest::mouseClick(board->SpeedButton18, Qt::LeftButton);
    QVERIFY(board->Panel4->isVisible());
    QTest::mouseClick(board->Panel4->SpeedButton34, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(looked && !window->isVisible(), 10000);
    QVERIFY(!board->Panel4->isVisible());

    // The scanner works: the pointer says so and the board stays usable.
    QVERIFY(fixture.session().busy());
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
    fixture.scanner->releaseAcquisition();
    QTRY_VERIFY_WITH_TIMEOUT(!fixture.session().busy(), 10000);
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(fixture.scanner->calls().last(), QStringLiteral("acquire net:2 150"));
    QVERIFY(fixture.windows().board->Image2->isVisible());
    QCOMPARE(fixture.windows().board->Image2->geometry(), QRect(-5, 35, 1074, 768));
    QVERIFY(fixture.prompter->questions().isEmpty());
}

void ScannerSourceWindowTest::pageModeStaysAndCancelUnloads()
{
    ScanFixture fixture;
    ScannerSourceWindow* window = fixture.window();
    bool cancelled = false;
    whenShown(window, [&] {
        QTest::mouseClick(window->ListBox1->viewport(), Qt::LeftButton, {},
                          window->ListBox1->visualItemRect(window->ListBox1->item(1)).center());
        QTest::mouseClick(window->RadioButton2, Qt::LeftButton);
        QTest::mouseClick(window->BitBtn2, Qt::LeftButton);
        cancelled = true;
    });
    fixture.session().reload();
    QTRY_VERIFY_WITH_TIMEOUT(cancelled && !window->isVisible(), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(fixture.scanner->calls().last(), QStringLiteral("unload"), 10000);
    QVERIFY(!fixture.scanner->calls().join(QLatin1Char(' ')).contains(QLatin1String("acquire")));

    // Next time the list starts at its first entry again; the page mode is as it was left.
    bool confirmed = false;
    whenShown(window, [&] {
        QCOMPARE(window->ListBox1->currentRow(), 0);
        QVERIFY(window->RadioButton2->isChecked());
        QVERIFY(!window->RadioButton1->isChecked());
        QTest::mouseClick(window->BitBtn1, Qt::LeftButton);
        confirmed = true;
    });
    fixture.session().reload();
    QTRY_VERIFY_WITH_TIMEOUT(confirmed && !fixture.session().busy(), 10000);
    QCOMPARE(fixture.scanner->calls().last(), QStringLiteral("acquire usb:1 150"));
    // 800 rows at s = 1074 / 1000 are 859, taller than the screen: page 2 takes the rest.
    QCOMPARE(fixture.windows().board->Image2->geometry(), QRect(-5, 35, 1074, 859));
    QCOMPARE(fixture.program->board().floatingPicture().tag(), 2);
}

void ScannerSourceWindowTest::messages_data()
{
    QTest::addColumn<bool>("loads");
    QTest::addColumn<QString>("message");
    QTest::newRow("no source") << true << QStringLiteral("未检测到扫描仪和其它视频设备！");
    QTest::newRow("manager cannot be loaded") << false << QStringLiteral("扫描驱动程序出错！");
}

void ScannerSourceWindowTest::messages()
{
    QFETCH(bool, loads);
    QFETCH(QString, message);
    ScanFixture fixture;
    fixture.scanner->setSources({});
    fixture.scanner->setLoadSucceeds(loads);
    ScannerSourceWindow* window = fixture.window();
    bool shown = false;
    whenShown(window, [&] {
        shown = true;
        QCOMPARE(window->ListBox1->count(), 0);
        QTest::mouseClick(window->BitBtn1, Qt::LeftButton);
    });
    fixture.session().reload();
    QTRY_VERIFY_WITH_TIMEOUT(!fixture.prompter->questions().isEmpty(), 10000);
    QTRY_VERIFY(!window->isVisible());
    QCOMPARE(messagesOf(*fixture.prompter), QStringList{message});
    QCOMPARE(shown, loads);
    QVERIFY(!fixture.session().busy());
    QVERIFY(!fixture.scanner->calls().join(QLatin1Char(' ')).contains(QLatin1String("acquire")));
    QVERIFY(!fixture.windows().board->Image2->isVisible());
}

QTEST_MAIN(ScannerSourceWindowTest)
#include "ScannerSourceWindowTest.moc"
