#include "ProgramFixture.h"

#include "acquire/window/PictureImportWindow.h"
#include "acquire/window/SettingsButtonWindow.h"

#include "aids/window/HelpWindow.h"
#include "aids/window/ShadeWindow.h"
#include "aids/window/TextLinePanel.h"
#include "app/ToolbarWindow.h"
#include "board/content/RichTextReader.h"
#include "board/model/BoardModel.h"
#include "board/window/BoardWindow.h"
#include "board/window/ContentPanel.h"
#include "board/window/PalettePanel.h"
#include "lessons/window/PasswordChangeWindow.h"
#include "lessons/window/SettingsWindow.h"
#include "overlay/OverlayModel.h"
#include "overlay/window/OverlayWindow.h"

#include <QColorDialog>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <memory>
#include <sys/stat.h>

Q_DECLARE_METATYPE(QList<TopLevelWindow>)

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void createsEveryWindowOnce();
    void singleCopyWalk_data();
    void singleCopyWalk();
    void colourDepthQuestion_data();
    void colourDepthQuestion();
    void toolbarMakesTheDesktopFitForClass();
    void toolbarButtonsStandInPlace_data();
    void toolbarButtonsStandInPlace();
    void shrinkAndRestore();
    void keyboardButtonToggles();
    void textLinePanelNeedsTheRegisteredComponent_data();
    void textLinePanelNeedsTheRegisteredComponent();
    void boardOpensAndComesBack();
    void presentationLeavesTheBoardForTheDesktop_data();
    void presentationLeavesTheBoardForTheDesktop();
    void overlayOpensOverTheDesktopAndLeaves_data();
    void overlayOpensOverTheDesktopAndLeaves();
    void overlayWithoutAPictureSaysSo();
    void shadeCoversAndGoesOnAnyPress();
    void settingsKeepThePanelTextAndOpenModally();
    void settingsButtonWindowStandsUnderThePalettesColumn();
    void exitAsksAndCleansUp_data();
    void exitAsksAndCleansUp();
    void dialogsStayOffTheTaskbar_data();
    void dialogsStayOffTheTaskbar();
    void fullScreenWindowsStayActive();
    void windowsOverTheBoardBelongToIt();
    void cursorFileThatIsNotRegular_data();
    void cursorFileThatIsNotRegular();
};

void StartupTest::createsEveryWindowOnce()
{
    ProgramFixture fixture;
    fixture.start();
    QStringList names;
    for (QWidget* window : fixture.windows().inCreationOrder()) {
        QVERIFY(window);
        QVERIFY(!window->isVisible());
        names << window->objectName();
    }
    QCOMPARE(names, QStringList({"TForm1", "TForm2", "TForm3", "TForm4", "TForm5", "TForm6",
                                 "TForm7", "TForm8", "TForm11", "TForm12", "TForm13", "TForm14"}));
    QCOMPARE(fixture.windows().board->windowTitle(), QStringLiteral("白板"));
    QCOMPARE(fixture.windows().help->windowTitle(), QStringLiteral("帮助"));
    QCOMPARE(fixture.windows().pictureImport->windowTitle(), QStringLiteral("导入图片"));
    QVERIFY(fixture.windows().toolbar->windowFlags() & Qt::WindowStaysOnTopHint);
    // Above active full-screen windows too: no window manager stacks the toolbar.
    QVERIFY(fixture.windows().toolbar->windowFlags() & Qt::BypassWindowManagerHint);
    QVERIFY(!(fixture.windows().board->windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(!(fixture.windows().board->windowFlags() & Qt::BypassWindowManagerHint));
    QVERIFY(fixture.windows().textLinePanel->windowFlags() & Qt::WindowStaysOnTopHint);
}

void StartupTest::singleCopyWalk_data()
{
    QTest::addColumn<QList<TopLevelWindow>>("desktop");
    QTest::addColumn<bool>("ends");
    QTest::addColumn<QList<quint64>>("closed");
    QTest::newRow("alone") << QList<TopLevelWindow>{{1, "Z_Kalto"}, {2, "Terminal"}} << false
                           << QList<quint64>{};
    QTest::newRow("second copy") << QList<TopLevelWindow>{{1, "Z_Kalto"}, {2, "Z_Kalto"}} << true
                                 << QList<quint64>{};
    QTest::newRow("touch monitor closed by either copy")
        << QList<TopLevelWindow>{{1, "Z_Kalto"}, {5, "vTouchWatch"}, {2, "Z_Kalto"}} << true
        << QList<quint64>{5};
    QTest::newRow("captions compared up to 11 characters")
        << QList<TopLevelWindow>{{1, "Z_Kalto"},
                                 {2, "Z_Kalto_2nd_copy"},
                                 {3, "vTouchWatch2"},
                                 {4, "vTouchWatc"}}
        << false << QList<quint64>{3};
    QTest::newRow("empty captions are skipped")
        << QList<TopLevelWindow>{{1, ""}, {2, "Z_Kalto"}} << false << QList<quint64>{};
}

void StartupTest::singleCopyWalk()
{
    QFETCH(QList<TopLevelWindow>, desktop);
    QFETCH(bool, ends);
    QFETCH(QList<quint64>, closed);
    ProgramFixture fixture;
    fixture.desktop->setWindows(desktop);
    fixture.start();
    QCOMPARE(fixture.program->endRequested(), ends);
    QCOMPARE(fixture.desktop->closeRequests(), closed);
    // The remaining start-up steps still run.
    QCOMPARE(fixture.taskKeys->disableCalls().size(), 1);
    QVERIFY(fixture.windows().textLinePanel);
}

void StartupTest::colourDepthQuestion_data()
{
    QTest::addColumn<int>("depth");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<QList<int>>("switches");
    QTest::newRow("24 bits: no question") << 24 << QList<bool>{} << QList<int>{};
    QTest::newRow("16 bits, No") << 16 << QList<bool>{false} << QList<int>{};
    QTest::newRow("16 bits, Yes") << 16 << QList<bool>{true} << QList<int>{24};
}

void StartupTest::colourDepthQuestion()
{
    QFETCH(int, depth);
    QFETCH(QList<bool>, answers);
    QFETCH(QList<int>, switches);
    ProgramFixture fixture;
    fixture.desktop->setColourDepth(depth);
    for (bool yes : answers)
        fixture.prompter->answerYesNo(yes);
    fixture.start();
    QCOMPARE(fixture.prompter->questions().size(), answers.size());
    if (!answers.isEmpty()) {
        QCOMPARE(fixture.prompter->questions().first().caption, QStringLiteral("提示信息"));
        QCOMPARE(fixture.prompter->questions().first().text,
                 QStringLiteral("您的系统颜色质量设置低于24位，是否调整?"));
    }
    QCOMPARE(fixture.desktop->depthSwitchRequests(), switches);
    QVERIFY(!fixture.program->endRequested());
}

void StartupTest::toolbarMakesTheDesktopFitForClass()
{
    ProgramFixture fixture;
    fixture.start();
    ToolbarWindow* toolbar = fixture.windows().toolbar;
    QCOMPARE(fixture.desktop->keptOffTaskbar().size(), 1);
    QCOMPARE(fixture.desktop->keptOffTaskbar().first()->title(), QStringLiteral("Z_Kalto"));
    QVERIFY(fixture.program->taskKeyBlock().isBlocked());
    QCOMPARE(fixture.taskKeys->disableCalls().size(), 1);
    QCOMPARE(fixture.taskKeys->disableCalls().first().enable, 1);
    QCOMPARE(fixture.taskKeys->disableCalls().first().keys, 23);
    // The block is not repeated once made.
    toolbar->show();
    QTest::mouseClick(toolbar->SpeedButton7, Qt::LeftButton);
    QCOMPARE(fixture.taskKeys->disableCalls().size(), 1);
    QCOMPARE(toolbar->geometry(), QRect(588, 0, 343, 39));
    QVERIFY(toolbar->Timer1->isActive());
    // Every window shown stays off the taskbar, again after hiding and showing.
    QCOMPARE(fixture.desktop->keptOffTaskbar().size(), 2);
    QCOMPARE(fixture.desktop->keptOffTaskbar().last(), toolbar->windowHandle());
    toolbar->hide();
    toolbar->show();
    QCOMPARE(fixture.desktop->keptOffTaskbar().size(), 3);
    QCOMPARE(toolbar->Timer1->interval(), 1000);
}

void StartupTest::toolbarButtonsStandInPlace_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("hint");
    QTest::newRow("board") << "SpeedButton4" << QRect(0, 1, 38, 38) << "书写板";
    QTest::newRow("annotate") << "SpeedButton3" << QRect(38, 1, 38, 38) << "标注";
    QTest::newRow("task keys") << "SpeedButton7" << QRect(0, 0, 38, 37) << "";
    QTest::newRow("keyboard") << "SpeedButton8" << QRect(114, 1, 38, 38) << "";
    QTest::newRow("text lines") << "SpeedButton9" << QRect(153, 1, 38, 38) << "消隐投影";
    QTest::newRow("shade") << "SpeedButton10" << QRect(191, 1, 38, 38) << "消隐投影";
    QTest::newRow("help") << "SpeedButton2" << QRect(229, 1, 38, 38) << "帮助";
    QTest::newRow("exit") << "SpeedButton1" << QRect(267, 1, 38, 38) << "退出";
    QTest::newRow("shrink") << "SpeedButton5" << QRect(305, 1, 38, 38) << "微缩";
    QTest::newRow("restore") << "SpeedButton6" << QRect(0, 0, 16, 16) << "恢复";
}

void StartupTest::toolbarButtonsStandInPlace()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, hint);
    ProgramFixture fixture;
    fixture.start();
    auto* button = fixture.windows().toolbar->findChild<QToolButton*>(name);
    QVERIFY(button);
    QCOMPARE(button->geometry(), geometry);
    QCOMPARE(button->toolTip(), hint);
    QVERIFY(!button->icon().isNull());
}

void StartupTest::shrinkAndRestore()
{
    ProgramFixture fixture;
    fixture.start();
    ToolbarWindow* toolbar = fixture.windows().toolbar;
    toolbar->show();
    QTest::mouseClick(toolbar->SpeedButton5, Qt::LeftButton);
    QCOMPARE(toolbar->geometry(), QRect(588 + 275, 0, 16, 16));
    QCOMPARE(toolbar->Panel1->size(), QSize(16, 16));
    QVERIFY(toolbar->SpeedButton6->isVisible());
    QVERIFY(!toolbar->SpeedButton3->isVisible());

    // The placement timer brings the square back to its place within a second.
    QTRY_COMPARE_WITH_TIMEOUT(toolbar->x(), 588, 1500);
    QVERIFY(!fixture.desktop->keptOnTopCalls().isEmpty());
    QVERIFY(fixture.desktop->keptOnTopCalls().last().onTop);

    QTest::mouseClick(toolbar->SpeedButton6, Qt::LeftButton);
    QCOMPARE(toolbar->geometry(), QRect(588, 0, 342, 40));
    QCOMPARE(toolbar->Panel1->size(), QSize(351, 40));
    QVERIFY(toolbar->SpeedButton3->isVisible());
    QVERIFY(!toolbar->SpeedButton6->isVisible());
}

void StartupTest::keyboardButtonToggles()
{
    ProgramFixture fixture;
    fixture.start();
    ToolbarWindow* toolbar = fixture.windows().toolbar;
    toolbar->show();
    QTest::mouseClick(toolbar->SpeedButton8, Qt::LeftButton);
    QCOMPARE(fixture.launcher->startedPrograms().size(), 1);
    QCOMPARE(fixture.launcher->startedPrograms().first().fileName, QStringLiteral("qorkb.dll"));
    // The keyboard program is delivered beside this one.
    QCOMPARE(fixture.launcher->startedPrograms().first().firstDirectory,
             fixture.programFilesDirectory());

    // The keyboard's window is open now: the second click closes it and starts nothing.
    fixture.desktop->setWindows({{1, "Z_Kalto"}, {42, "%*Y"}});
    QTest::mouseClick(toolbar->SpeedButton8, Qt::LeftButton);
    QCOMPARE(fixture.desktop->closeRequests(), QList<quint64>{42});
    QCOMPARE(fixture.launcher->startedPrograms().size(), 1);
}

void StartupTest::textLinePanelNeedsTheRegisteredComponent_data()
{
    QTest::addColumn<bool>("registered");
    QTest::newRow("registered") << true;
    QTest::newRow("not registered") << false;
}

void StartupTest::textLinePanelNeedsTheRegisteredComponent()
{
    QFETCH(bool, registered);
    ProgramFixture fixture;
    if (registered)
        fixture.registry->registerKey(QStringLiteral("\\XdictGrb.GrabProxy\\CurVer"));
    fixture.start();
    ToolbarWindow* toolbar = fixture.windows().toolbar;
    TextLinePanel* panel = fixture.windows().textLinePanel;
    toolbar->show();
    QTest::mouseClick(toolbar->SpeedButton9, Qt::LeftButton);
    QCOMPARE(fixture.registry->queries(), QStringList{"\\XdictGrb.GrabProxy\\CurVer"});
    QCOMPARE(panel->isVisible(), registered);
    QCOMPARE(panel->openMark(), registered ? 1 : 0);
    QCOMPARE(panel->Timer1->isActive(), registered);
    QCOMPARE(fixture.launcher->startedPrograms().size(), registered ? 1 : 0);
    if (registered) {
        QCOMPARE(panel->pos(), QPoint((1024 - 552) / 2, 72));
        QCOMPARE(fixture.launcher->startedPrograms().first().fileName, QStringLiteral("ani.dll"));
        // Looked up beside the program, not where the program writes its files.
        QCOMPARE(fixture.launcher->startedPrograms().first().firstDirectory,
                 fixture.programFilesDirectory());
    }
}

void StartupTest::boardOpensAndComesBack()
{
    ProgramFixture fixture;
    fixture.start();
    ToolbarWindow* toolbar = fixture.windows().toolbar;
    BoardWindow* board = fixture.windows().board;
    toolbar->show();
    QTest::mouseClick(toolbar->SpeedButton4, Qt::LeftButton);
    QVERIFY(!toolbar->isVisible());
    QVERIFY(!toolbar->Timer1->isActive());
    QVERIFY(board->isVisible());
    QCOMPARE(board->model().pages().currentPageImage().pixelColor(600, 400),
             board->model().backgroundSwatch());

    // The shade covers the board, which stays open beneath.
    QTest::mouseClick(board->SpeedButton2, Qt::LeftButton);
    QVERIFY(fixture.windows().shade->isVisible());
    QVERIFY(board->isVisible());
    QCOMPARE(fixture.desktop->pointerMoves(), QList<QPoint>{QPoint(1024, 50)});
    QTest::mousePress(fixture.windows().shade, Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(!fixture.windows().shade->isVisible());

    QTest::mouseClick(board->SpeedButton40, Qt::LeftButton);
    QVERIFY(!board->isVisible());
    QVERIFY(toolbar->isVisible());
    QVERIFY(toolbar->Timer1->isActive());
}

void StartupTest::presentationLeavesTheBoardForTheDesktop_data()
{
    QTest::addColumn<bool>("registered");
    QTest::newRow("presentation program") << true;
    QTest::newRow("no presentation program") << false;
}

void StartupTest::presentationLeavesTheBoardForTheDesktop()
{
    QFETCH(bool, registered);
    ProgramFixture fixture;
    fixture.start();
    ToolbarWindow* toolbar = fixture.windows().toolbar;
    BoardWindow* board = fixture.windows().board;
    fixture.launcher->setOpenSucceeds(registered);
    toolbar->show();
    QTest::mouseClick(toolbar->SpeedButton4, Qt::LeftButton);
    QTest::mouseClick(board->SpeedButton18, Qt::LeftButton);
    const QString talk = fixture.programDirectory() + QStringLiteral("第一课.ppt");
    fixture.prompter->answerOpenFile(talk);
    QTest::mouseClick(board->Panel4->SpeedButton26, Qt::LeftButton);

    // The chooser starts in the program directory with the designed file name.
    QCOMPARE(fixture.prompter->questions().first().text,
             fixture.programFilesDirectory() + QStringLiteral("dream[1].swf"));
    QCOMPARE(fixture.launcher->openedDocuments(), QStringList{talk});
    QVERIFY(!board->isVisible());
    QVERIFY(toolbar->isVisible());
    QVERIFY(toolbar->Timer1->isActive());
    QCOMPARE(fixture.prompter->questions().size(), registered ? 1 : 2);
    if (!registered)
        QCOMPARE(fixture.prompter->questions().last().text,
                 QStringLiteral("没有可以打开这个文件的程序：") + talk);
}

void StartupTest::overlayOpensOverTheDesktopAndLeaves_data()
{
    QTest::addColumn<QString>("leaveBy");
    QTest::addColumn<bool>("toBoard");
    QTest::newRow("书写板, full toolbar") << "SpeedButton6" << true;
    QTest::newRow("操作演示, full toolbar") << "SpeedButton3" << false;
    QTest::newRow("操作演示, compact toolbar") << "SpeedButton16" << false;
}

void StartupTest::overlayOpensOverTheDesktopAndLeaves()
{
    QFETCH(QString, leaveBy);
    QFETCH(bool, toBoard);
    ProgramFixture fixture;
    QImage desktop(1024, 768, QImage::Format_RGB32);
    desktop.fill(Qt::darkCyan);
    fixture.desktop->setScreenPicture(desktop);
    fixture.desktop->setWindows({{77, QStringLiteral("课件")}});
    fixture.desktop->setWindowRect(77, QRect(100, 100, 800, 600));
    fixture.start();
    ToolbarWindow* toolbar = fixture.windows().toolbar;
    OverlayWindow* overlay = fixture.windows().overlay;
    toolbar->show();
    QTest::mouseClick(toolbar->SpeedButton3, Qt::LeftButton);
    QVERIFY(!toolbar->isVisible());
    QVERIFY(!toolbar->Timer1->isActive());
    QVERIFY(overlay->isVisible());
    QCOMPARE(overlay->geometry(), QRect(0, 0, 1024, 768));
    QCOMPARE(overlay->Panel1->geometry(), QRect(1024 - 591, 0, 591, 40));
    QCOMPARE(overlay->Panel2->geometry(), QRect(1024 - 436, 0, 343, 41));
    QCOMPARE(overlay->model().screen().image().pixelColor(500, 500), QColor(Qt::darkCyan));

    if (leaveBy == QLatin1String("SpeedButton16"))
        QTest::mouseClick(overlay->SpeedButton18, Qt::LeftButton);
    QTest::mouseClick(overlay->findChild<QToolButton*>(leaveBy), Qt::LeftButton);
    QVERIFY(!overlay->isVisible());
    QCOMPARE(fixture.windows().board->isVisible(), toBoard);
    QCOMPARE(toolbar->isVisible(), !toBoard);
    QCOMPARE(toolbar->Timer1->isActive(), !toBoard);
    QCOMPARE(fixture.desktop->broughtToFront(), toBoard ? QList<quint64>{} : QList<quint64>{77});
}

// A Wayland session without a portal gives no picture of the desktop: no black overlay opens.
void StartupTest::overlayWithoutAPictureSaysSo()
{
    ProgramFixture fixture;
    fixture.desktop->setScreenPicture(QImage());
    fixture.start();
    ToolbarWindow* toolbar = fixture.windows().toolbar;
    toolbar->show();
    QTest::mouseClick(toolbar->SpeedButton3, Qt::LeftButton);
    QVERIFY(!fixture.windows().overlay->isVisible());
    QVERIFY(toolbar->isVisible());
    QVERIFY(toolbar->Timer1->isActive());
    QCOMPARE(fixture.prompter->questions().size(), 1);
    QCOMPARE(fixture.prompter->questions().constFirst().text,
             QStringLiteral("无法获取屏幕画面，不能在屏幕上标注。"));
}

void StartupTest::shadeCoversAndGoesOnAnyPress()
{
    ProgramFixture fixture;
    fixture.start();
    ToolbarWindow* toolbar = fixture.windows().toolbar;
    ShadeWindow* shade = fixture.windows().shade;
    toolbar->show();
    QTest::mouseClick(toolbar->SpeedButton10, Qt::LeftButton);
    QVERIFY(!toolbar->Timer1->isActive());
    QVERIFY(!fixture.desktop->keptOnTopCalls().last().onTop);
    QVERIFY(shade->isVisible());
    QCOMPARE(shade->geometry(), QRect(0, 0, 1024, 768));
    QCOMPARE(fixture.desktop->pointerMoves(), QList<QPoint>{QPoint(1024, 50)});

    QTest::mousePress(shade, Qt::RightButton, {}, QPoint(300, 300));
    QVERIFY(!shade->isVisible());
    QVERIFY(toolbar->Timer1->isActive());
}

void StartupTest::settingsKeepThePanelTextAndOpenModally()
{
    ProgramFixture fixture;
    fixture.start();
    BoardWindow* board = fixture.windows().board;
    SettingsWindow* settings = fixture.windows().settings;
    board->openFromDesktop();
    board->Panel4->RichEdit1->setPlainText(QStringLiteral("第一课"));
    bool wasModal = false;
    QTimer::singleShot(0, settings, [&] {
        wasModal = settings->isVisible() && QApplication::activeModalWidget() == settings;
        QTest::mouseClick(settings->BitBtn1, Qt::LeftButton);
    });
    QTest::mouseClick(board->SpeedButton6, Qt::LeftButton);
    QVERIFY(wasModal);
    QVERIFY(!settings->isVisible());
    QCOMPARE(settings->size(), QSize(590, 364));
    // The text is kept even though the panel is hidden.
    QTextDocument kept;
    RichTextReader::read(board->model().pages().pageText(1).value(), kept);
    QCOMPARE(kept.toPlainText(), QStringLiteral("第一课"));
}

void StartupTest::settingsButtonWindowStandsUnderThePalettesColumn()
{
    ProgramFixture fixture;
    fixture.start();
    ToolbarWindow* toolbar = fixture.windows().toolbar;
    BoardWindow* board = fixture.windows().board;
    QWidget* settingsButton = fixture.windows().settingsButton;
    toolbar->show();
    QTest::mouseClick(toolbar->SpeedButton4, Qt::LeftButton);
    QTest::mouseClick(board->SpeedButton18, Qt::LeftButton);
    QTest::mouseClick(board->Panel4->SpeedButton32, Qt::LeftButton);
    QVERIFY(board->Panel9->isVisible());
    QVERIFY(!settingsButton->isVisible());

    QTest::mouseClick(board->Panel9->BitBtn3, Qt::LeftButton);
    QVERIFY(settingsButton->isVisible());
    QCOMPARE(settingsButton->pos(), QPoint(3, 725));
    // It goes with the board and comes back with it.
    QTest::mouseClick(board->SpeedButton40, Qt::LeftButton);
    QVERIFY(!settingsButton->isVisible());
    QTest::mouseClick(toolbar->SpeedButton4, Qt::LeftButton);
    QVERIFY(settingsButton->isVisible());

    QTest::mouseClick(board->Panel9->BitBtn1, Qt::LeftButton);
    QVERIFY(!settingsButton->isVisible());
    QTest::mouseClick(board->Panel9->BitBtn3, Qt::LeftButton);
    QTest::mouseClick(board->Panel9->SpeedButton33, Qt::LeftButton);
    QVERIFY(!settingsButton->isVisible());
    QVERIFY(!board->Panel9->isVisible());
}

void StartupTest::exitAsksAndCleansUp_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes") << true;
    QTest::newRow("No") << false;
}

void StartupTest::exitAsksAndCleansUp()
{
    QFETCH(bool, yes);
    ProgramFixture fixture;
    fixture.start();
    ToolbarWindow* toolbar = fixture.windows().toolbar;
    PageStore& pages = fixture.program->board().pages();
    for (int n = 1; n <= 3; ++n) {
        if (n > 1)
            pages.addPage(Qt::white);
        pages.savePanelState("text", QRect());
    }
    fixture.desktop->setWindows({{1, "Z_Kalto"}, {9, "%*Y"}});
    toolbar->show();
    QSignalSpy exited(toolbar, &ToolbarWindow::closed);
    fixture.prompter->answerYesNo(yes);
    QTest::mouseClick(toolbar->SpeedButton1, Qt::LeftButton);

    QCOMPARE(fixture.prompter->questions().size(), 1);
    QCOMPARE(fixture.prompter->questions().first().caption, QStringLiteral("提示信息"));
    QCOMPARE(fixture.prompter->questions().first().text, QStringLiteral("确实要退出系统吗？"));
    QCOMPARE(exited.size(), yes ? 1 : 0);
    QCOMPARE(toolbar->isVisible(), !yes);
    QCOMPARE(fixture.taskKeys->releases(), yes ? 1 : 0);
    QCOMPARE(fixture.desktop->taskbarCalls(), yes ? QList<bool>{true} : QList<bool>{});
    QCOMPARE(fixture.desktop->closeRequests(), yes ? QList<quint64>{9} : QList<quint64>{});
    for (int n = 1; n <= 3; ++n)
        QCOMPARE(QFile::exists(pages.pageTextPath(n)), !yes);
}

void StartupTest::dialogsStayOffTheTaskbar_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("offTaskbar");
    QTest::newRow("message box") << "message box" << true;
    QTest::newRow("colour dialog") << "colour dialog" << true;
    QTest::newRow("file dialog") << "file dialog" << true;
    // A menu passes by the window manager and the taskbar alike.
    QTest::newRow("menu") << "menu" << false;
}

void StartupTest::dialogsStayOffTheTaskbar()
{
    QFETCH(QString, kind);
    QFETCH(bool, offTaskbar);
    ProgramFixture fixture;
    fixture.start();
    std::unique_ptr<QWidget> dialog;
    if (kind == "message box") {
        dialog = std::make_unique<QMessageBox>(QMessageBox::Question, QStringLiteral("提示信息"),
                                               QStringLiteral("确实要退出系统吗？"));
    } else if (kind == "colour dialog") {
        dialog = std::make_unique<QColorDialog>();
    } else if (kind == "file dialog") {
        auto fileDialog = std::make_unique<QFileDialog>();
        fileDialog->setOption(QFileDialog::DontUseNativeDialog);
        dialog = std::move(fileDialog);
    } else {
        dialog = std::make_unique<QMenu>();
    }
    dialog->show();
    QVERIFY(dialog->windowHandle());
    QCOMPARE(fixture.desktop->keptOffTaskbar().contains(dialog->windowHandle()), offTaskbar);
}

void StartupTest::fullScreenWindowsStayActive()
{
    ProgramFixture fixture;
    fixture.start();
    BoardWindow* board = fixture.windows().board;
    ShadeWindow* shade = fixture.windows().shade;
    ToolbarWindow* toolbar = fixture.windows().toolbar;
    toolbar->show();
    const auto lastActivated = [&]() -> QWindow* {
        return fixture.desktop->activated().isEmpty() ? nullptr
                                                      : fixture.desktop->activated().last();
    };

    QTest::mouseClick(toolbar->SpeedButton4, Qt::LeftButton);
    QCOMPARE(fixture.desktop->fullScreen(), QList<QWindow*>{board->windowHandle()});
    QTRY_COMPARE(lastActivated(), board->windowHandle());

    // The shade opened from the board is the active one; closed, it gives the board back.
    QTest::mouseClick(board->SpeedButton2, Qt::LeftButton);
    QCOMPARE(fixture.desktop->fullScreen().last(), shade->windowHandle());
    QTRY_COMPARE(lastActivated(), shade->windowHandle());
    QTest::mousePress(shade, Qt::LeftButton, {}, QPoint(10, 10));
    QTRY_COMPARE(lastActivated(), board->windowHandle());

    // A dialog that closes leaves the board active again.
    const qsizetype before = fixture.desktop->activated().size();
    QDialog dialog;
    dialog.show();
    dialog.hide();
    QTRY_COMPARE(fixture.desktop->activated().size(), before + 1);
    QCOMPARE(lastActivated(), board->windowHandle());

    // While a modal window is open, it stays the active one.
    QDialog modal;
    modal.setModal(true);
    modal.show();
    QDialog other;
    other.show();
    other.hide();
    QCoreApplication::processEvents();
    QCOMPARE(fixture.desktop->activated().size(), before + 1);
}

// A window manager counts a window and those that belong to it as one: the board stays over the
// panels while any of them has the focus, and each stands above the window it belongs to.
void StartupTest::windowsOverTheBoardBelongToIt()
{
    ProgramFixture fixture;
    fixture.start();
    BoardWindow* board = fixture.windows().board;
    SettingsWindow* settings = fixture.windows().settings;
    PasswordChangeWindow* passwordChange = fixture.windows().passwordChange;
    board->openFromDesktop();
    // Shown without its own event loop: an earlier test's exit ends every loop that starts later.
    settings->show();
    QCOMPARE(settings->windowHandle()->transientParent(), board->windowHandle());
    // "设置管理密码": the password window over the settings window belongs to it.
    settings->Button5->click();
    QVERIFY(passwordChange->isVisible());
    QCOMPARE(passwordChange->windowHandle()->transientParent(), settings->windowHandle());
    passwordChange->BitBtn2->click();
    settings->hide();

    // A window of no other window belongs to the board.
    QDialog dialog;
    dialog.show();
    QCOMPARE(dialog.windowHandle()->transientParent(), board->windowHandle());
}

void StartupTest::cursorFileThatIsNotRegular_data()
{
    QTest::addColumn<bool>("fifo");
    QTest::newRow("named pipe") << true;
    QTest::newRow("link to an endless device") << false;
}

void StartupTest::cursorFileThatIsNotRegular()
{
    QFETCH(bool, fifo);
    QTemporaryDir directory;
    const QString cursorFile = directory.filePath(QStringLiteral("Text_Hnd.cut"));
    if (fifo)
        QCOMPARE(::mkfifo(QFile::encodeName(cursorFile).constData(), 0600), 0);
    else
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), cursorFile));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(directory.path()));
    ProgramFixture fixture;
    fixture.start();
    QDir::setCurrent(previous);
    QCOMPARE(fixture.windows().board->cursor().shape(), Qt::ArrowCursor);
}

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
