#include "../app/ProgramFixture.h"
#include "FileContents.h"

#include "board/model/BoardModel.h"
#include "board/pixels/ColourRef.h"
#include "board/window/BoardWindow.h"
#include "lessons/TeacherSettings.h"
#include "lessons/window/PasswordChangeWindow.h"
#include "lessons/window/SettingsWindow.h"
#include "lessons/window/TeacherPasswordWindow.h"
#include "overlay/OverlayModel.h"
#include "overlay/window/OverlayWindow.h"
#include "text/Gbk.h"
#include "ui/ColourSwatch.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using Question = ScriptedPrompter::Question;

namespace {

// Clicks an entry of a list as the teacher does.
void clickEntry(QListWidget* list, int row)
{
    const QRect place = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
}

void clickDigits(const QList<QPushButton*>& pad, const QString& digits)
{
    for (QChar digit : digits)
        QTest::mouseClick(pad[(digit.unicode() - '0' + 9) % 10], Qt::LeftButton);
}

QStringList entries(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

QStringList messages(const ScriptedPrompter& prompter)
{
    QStringList texts;
    for (const Question& question : prompter.questions())
        if (question.kind == ScriptedPrompter::Kind::Inform)
            texts << question.caption + ": " + question.text;
    return texts;
}

} // namespace

// The settings window and the two password windows as the teacher uses them, on the program
// started with fakes (C in a directory of the fixture's own, no other drive).
class SettingsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void controlsStandAtTheirPlaces_data();
    void controlsStandAtTheirPlaces();
    void windowsAreCentred();
    void lessonListsShowTheSectionsCounts();
    void damagedCountsFillTheListsUpTo999();
    void teacherWithPasswordUnlocksOnThePad();
    void passwordFieldTakesDigitsFromThePadOnly();
    void teachersAddedFromTheKeyboardAndRefusedNames();
    void personalPasswordChangedBesideTheModalWindow();
    void administratorPasswordGoesToTheWrittenCopy();
    void personalSettingsTakeEffectAtTheNextStart();
    void startupSettingsReachTheBoardAndTheOverlay_data();
    void startupSettingsReachTheBoardAndTheOverlay();
    void captureModeFollowsTheChoiceAndStartsOnTheBoard();

private:
    // Opens the settings window from the board and runs inside while it is shown modally.
    void inSettingsWindow(ProgramFixture& fixture, const std::function<void()>& inside);
};

void SettingsWindowTest::inSettingsWindow(ProgramFixture& fixture,
                                          const std::function<void()>& inside)
{
    BoardWindow* board = fixture.windows().board;
    SettingsWindow* settings = fixture.windows().settings;
    board->openFromDesktop();
    bool ran = false;
    QTimer::singleShot(0, settings, [&] {
        QCOMPARE(QApplication::activeModalWidget(), settings);
        inside();
        ran = true;
        if (settings->isVisible())
            QTest::mouseClick(settings->BitBtn1, Qt::LeftButton);
    });
    QTest::mouseClick(board->SpeedButton6, Qt::LeftButton);
    QVERIFY(ran);
}

void SettingsWindowTest::controlsStandAtTheirPlaces_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("geometry"); // an empty size: only the place counts
    QTest::addColumn<QString>("text");

    const auto row = [](const char* window, const char* control, QRect geometry,
                        const QString& text) {
        QTest::addRow("%s %s", window, control) << window << control << geometry << text;
    };
    row("TForm6", "GroupBox1", {7, 12, 148, 349}, "任课教师");
    row("TForm6", "Edit1", {9, 27, 64, 21}, "");
    row("TForm6", "Button1", {75, 28, 31, 19}, "添加");
    row("TForm6", "Button2", {108, 28, 31, 19}, "修改");
    row("TForm6", "ListBox1", {6, 57, 133, 214}, "");
    row("TForm6", "Button3", {24, 276, 94, 19}, "删除");
    row("TForm6", "Button4", {24, 300, 94, 19}, "设置个人密码");
    row("TForm6", "Button5", {24, 324, 94, 19}, "设置管理密码");
    row("TForm6", "GroupBox2", {162, 12, 250, 349}, "课程选择");
    row("TForm6", "Label1", {6, 27, 0, 0}, "第");
    row("TForm6", "Edit2", {24, 25, 22, 21}, "1");
    row("TForm6", "Label2", {51, 27, 0, 0}, "册");
    row("TForm6", "Label3", {137, 27, 0, 0}, "第");
    row("TForm6", "Edit3", {155, 25, 22, 21}, "1");
    row("TForm6", "Label4", {182, 27, 0, 0}, "课");
    row("TForm6", "ListBox2", {6, 52, 61, 239}, "");
    row("TForm6", "Button6", {75, 64, 31, 19}, "添加");
    row("TForm6", "Button7", {73, 99, 31, 19}, "减少");
    row("TForm6", "ListBox3", {139, 52, 62, 239}, "");
    row("TForm6", "Button8", {210, 61, 31, 19}, "添加");
    row("TForm6", "Button9", {210, 100, 31, 19}, "减少");
    row("TForm6", "Label5", {70, 190, 0, 0}, "存储或");
    row("TForm6", "Label6", {70, 208, 0, 0}, "打开盘区：");
    row("TForm6", "DriveComboBox1", {68, 226, 69, 19}, "");
    row("TForm6", "BitBtn2", {19, 303, 85, 31}, "打开");
    row("TForm6", "BitBtn3", {141, 303, 85, 31}, "保存");
    row("TForm6", "BitBtn4", {68, 258, 69, 31}, "导出");
    row("TForm6", "GroupBox3", {419, 12, 166, 247}, "个性设置");
    row("TForm6", "SpeedButton9", {24, 39, 38, 38}, "");
    row("TForm6", "LCP", {25, 55, 36, 9}, "");
    row("TForm6", "Label7", {30, 87, 0, 0}, "笔画");
    row("TForm6", "Label8", {30, 102, 0, 0}, "颜色");
    row("TForm6", "RCP", {91, 39, 38, 38}, "");
    row("TForm6", "Label9", {94, 87, 0, 0}, "背景");
    row("TForm6", "Label10", {94, 102, 0, 0}, "颜色");
    row("TForm6", "Edit4", {51, 148, 26, 38}, "2");
    row("TForm6", "SpeedButton7", {79, 147, 38, 19}, "");
    row("TForm6", "SpeedButton8", {79, 167, 38, 19}, "");
    row("TForm6", "Label11", {36, 201, 0, 0}, "笔画粗细调整");
    row("TForm6", "RadioGroup1", {419, 260, 166, 53}, "");
    row("TForm6", "RadioButtonToBoard", {8, 8, 0, 0}, "截取图片保存到书写板");
    row("TForm6", "RadioButtonToFile", {8, 29, 0, 0}, "截取图片保存为文件");
    row("TForm6", "BitBtn1", {455, 321, 85, 31}, "确定");
    row("TForm7", "Panel1", {0, 0, 419, 202}, "");
    row("TForm7", "Label1", {129, 11, 160, 17}, "请输入任课教师个人密码：");
    row("TForm7", "Edit1", {132, 35, 163, 20}, "");
    row("TForm7", "SpeedButton1", {103, 66, 31, 25}, "1");
    row("TForm7", "SpeedButton5", {295, 66, 31, 25}, "5");
    row("TForm7", "SpeedButton6", {103, 105, 31, 25}, "6");
    row("TForm7", "SpeedButton10", {295, 105, 31, 25}, "0");
    row("TForm7", "BitBtn1", {108, 156, 80, 31}, "确定");
    row("TForm7", "BitBtn2", {237, 156, 80, 31}, "取消");
    row("TForm8", "Panel1", {0, 0, 404, 220}, "");
    row("TForm8", "Label1", {90, 9, 0, 0}, "请输入原密码：");
    row("TForm8", "Edit1", {186, 6, 112, 22}, "");
    row("TForm8", "Label2", {189, 30, 0, 0}, "初始密码：无");
    row("TForm8", "Label3", {90, 49, 0, 0}, "请设置新密码：");
    row("TForm8", "Edit2", {186, 46, 112, 22}, "");
    row("TForm8", "Label4", {90, 77, 0, 0}, "再次输新密码：");
    row("TForm8", "Edit3", {186, 74, 112, 22}, "");
    row("TForm8", "SpeedButton1", {89, 99, 31, 25}, "1");
    row("TForm8", "SpeedButton3", {185, 99, 31, 25}, "3");
    row("TForm8", "SpeedButton9", {233, 138, 31, 25}, "9");
    row("TForm8", "SpeedButton10", {281, 138, 31, 25}, "0");
    row("TForm8", "BitBtn1", {89, 179, 85, 31}, "确定");
    row("TForm8", "BitBtn2", {230, 179, 85, 31}, "取消");
}

void SettingsWindowTest::controlsStandAtTheirPlaces()
{
    QFETCH(QString, window);
    QFETCH(QString, control);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    ProgramFixture fixture;
    fixture.start();
    QWidget* parent = nullptr;
    for (QWidget* each : fixture.windows().inCreationOrder())
        if (each->objectName() == window)
            parent = each;
    QVERIFY(parent);
    auto* widget = parent->findChild<QWidget*>(control);
    QVERIFY(widget);
    if (geometry.size().isEmpty())
        QCOMPARE(widget->pos(), geometry.topLeft());
    else
        QCOMPARE(widget->geometry(), geometry);
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        QCOMPARE(button->text(), text);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        QCOMPARE(label->text(), text);
    else if (auto* box = qobject_cast<QGroupBox*>(widget))
        QCOMPARE(box->title(), text);
    else if (auto* field = qobject_cast<QLineEdit*>(widget))
        QCOMPARE(field->text(), text);
}

void SettingsWindowTest::windowsAreCentred()
{
    ProgramFixture fixture;
    fixture.start();
    const QPoint centre(511, 383);
    SettingsWindow* settings = fixture.windows().settings;
    QCOMPARE(settings->size(), QSize(590, 364));
    inSettingsWindow(fixture, [&] {
        QVERIFY((settings->geometry().center() - centre).manhattanLength() <= 1);
        TeacherPasswordWindow* pad = fixture.windows().teacherPassword;
        QTimer::singleShot(0, pad, [&] {
            QCOMPARE(pad->size(), QSize(419, 202));
            QVERIFY((pad->geometry().center() - centre).manhattanLength() <= 1);
            QTest::mouseClick(pad->BitBtn2, Qt::LeftButton);
        });
        pad->ask();
        PasswordChangeWindow* change = fixture.windows().passwordChange;
        QTest::mouseClick(settings->Button5, Qt::LeftButton);
        QVERIFY(change->isVisible());
        QCOMPARE(change->size(), QSize(404, 220));
        QVERIFY((change->geometry().center() - centre).manhattanLength() <= 1);
        QTest::mouseClick(change->BitBtn2, Qt::LeftButton);
        QVERIFY(!change->isVisible());
    });
}

void SettingsWindowTest::lessonListsShowTheSectionsCounts()
{
    ProgramFixture fixture;
    FileContents::write(fixture.settingsFile(), *Gbk::encode("[教师0]\r\nce=3\r\nke=2\r\n"));
    fixture.start();
    SettingsWindow* settings = fixture.windows().settings;
    QCOMPARE(entries(settings->ListBox2), QStringList({"1", "2", "3"}));
    QCOMPARE(entries(settings->ListBox3), QStringList({"1", "2"}));
}

void SettingsWindowTest::damagedCountsFillTheListsUpTo999()
{
    ProgramFixture fixture;
    FileContents::write(fixture.settingsFile(),
                        *Gbk::encode("[教师0]\r\nce=2147483647\r\nke=0x7fffffff\r\n"));
    fixture.start();
    SettingsWindow* settings = fixture.windows().settings;
    QCOMPARE(settings->ListBox2->count(), 999);
    QCOMPARE(settings->ListBox3->count(), 999);
    QCOMPARE(settings->ListBox2->item(998)->text(), QStringLiteral("999"));
}

void SettingsWindowTest::teacherWithPasswordUnlocksOnThePad()
{
    ProgramFixture fixture;
    // Teacher A's password is 2.
    FileContents::write(fixture.settingsFile(),
                        "[tec]\r\nmum=2\r\nte1=A\r\nte2=B\r\n[A]\r\nma=278\r\n");
    fixture.start();
    SettingsWindow* settings = fixture.windows().settings;
    TeacherPasswordWindow* pad = fixture.windows().teacherPassword;
    TeacherSettings& teachers = fixture.program->teachers();

    inSettingsWindow(fixture, [&] {
        QCOMPARE(entries(settings->ListBox1), QStringList({"默认", "A", "B"}));
        // A wrong password.
        QTimer::singleShot(0, pad, [&] {
            QCOMPARE(QApplication::activeModalWidget(), pad);
            clickDigits(pad->digitButtons, "3");
            QTest::mouseClick(pad->BitBtn1, Qt::LeftButton);
        });
        clickEntry(settings->ListBox1, 1);
        QVERIFY(!pad->isVisible());
        QCOMPARE(messages(*fixture.prompter), QStringList{"Z_Kalto: 密码错误！"});
        QVERIFY(!teachers.teacherUnlocked());
        QCOMPARE(settings->Edit1->text(), QString());
        QVERIFY(settings->ListBox1->selectedItems().isEmpty());

        // The right one.
        QTimer::singleShot(0, pad, [&] {
            clickDigits(pad->digitButtons, "2");
            QCOMPARE(pad->Edit1->text(), QStringLiteral("*"));
            QTest::mouseClick(pad->BitBtn1, Qt::LeftButton);
        });
        clickEntry(settings->ListBox1, 1);
        QVERIFY(teachers.teacherUnlocked());
        QCOMPARE(settings->Edit1->text(), QStringLiteral("A"));
        QCOMPARE(settings->ListBox1->currentRow(), 1);
        QVERIFY(settings->ListBox1->currentItem()->isSelected());

        // B has no password: one click unlocks.
        clickEntry(settings->ListBox1, 2);
        QVERIFY(teachers.teacherUnlocked());
        QCOMPARE(settings->Edit1->text(), QStringLiteral("B"));
    });
    QCOMPARE(messages(*fixture.prompter).size(), 1);

    // Opening again starts locked, with the name kept.
    inSettingsWindow(fixture, [&] {
        QVERIFY(!teachers.teacherUnlocked());
        QVERIFY(settings->ListBox1->selectedItems().isEmpty());
        QCOMPARE(settings->Edit1->text(), QStringLiteral("B"));
    });
}

void SettingsWindowTest::passwordFieldTakesDigitsFromThePadOnly()
{
    ProgramFixture fixture;
    fixture.start();
    TeacherPasswordWindow* pad = fixture.windows().teacherPassword;
    QTimer::singleShot(0, pad, [&] {
        QTest::keyClicks(pad->Edit1, "123");
        QCOMPARE(pad->entry().digits(), QString());
        clickDigits(pad->digitButtons, "1234567890");
        QCOMPARE(pad->entry().digits(), QStringLiteral("1234567890"));
        QCOMPARE(pad->Edit1->text(), QString(10, '*'));
        QTest::mouseClick(pad->Edit1, Qt::LeftButton);
        QCOMPARE(pad->Edit1->text(), QString());
        QTest::mouseClick(pad->BitBtn2, Qt::LeftButton);
    });
    pad->ask();
    QVERIFY(!pad->isVisible());
}

void SettingsWindowTest::teachersAddedFromTheKeyboardAndRefusedNames()
{
    ProgramFixture fixture;
    fixture.start();
    SettingsWindow* settings = fixture.windows().settings;
    inSettingsWindow(fixture, [&] {
        QTest::keyClicks(settings->Edit1, QStringLiteral("a/b"));
        QTest::mouseClick(settings->Button1, Qt::LeftButton);
        QTest::mouseClick(settings->Button2, Qt::LeftButton);
        settings->Edit1->selectAll();
        // Chinese comes from the input method as committed text.
        QInputMethodEvent typed;
        typed.setCommitString(QStringLiteral("王老师"));
        QApplication::sendEvent(settings->Edit1, &typed);
        QTest::mouseClick(settings->Button1, Qt::LeftButton);
        QCOMPARE(entries(settings->ListBox1), QStringList({"默认", "教师1", "王老师"}));
        QVERIFY(!QFile::exists(fixture.settingsFile()));
    });
    QCOMPARE(messages(*fixture.prompter),
             QStringList({"Z_Kalto: 教师姓名不能含有 [ ] = / \\ 和控制字符，不能只由点组成，"
                          "前后不能有空格！",
                          "Z_Kalto: 请选择任课教师！"}));
    // "确定" stored the list.
    fixture.program.reset();
    fixture.start();
    QCOMPARE(entries(fixture.windows().settings->ListBox1),
             QStringList({"默认", "教师1", "王老师"}));
}

void SettingsWindowTest::personalPasswordChangedBesideTheModalWindow()
{
    ProgramFixture fixture;
    fixture.start();
    SettingsWindow* settings = fixture.windows().settings;
    PasswordChangeWindow* change = fixture.windows().passwordChange;
    inSettingsWindow(fixture, [&] {
        QTest::mouseClick(settings->Button4, Qt::LeftButton);
        QVERIFY(!change->isVisible());
        QCOMPARE(messages(*fixture.prompter), QStringList{"Z_Kalto: 请选择任课教师！"});

        clickEntry(settings->ListBox1, 1);
        QTest::mouseClick(settings->Button4, Qt::LeftButton);
        QVERIFY(change->isVisible());
        QCOMPARE(QApplication::activeModalWidget(), settings);
        // Digits go to the field clicked last.
        QTest::mouseClick(change->Edit2, Qt::LeftButton);
        clickDigits(change->digitButtons, "12");
        QTest::mouseClick(change->Edit3, Qt::LeftButton);
        clickDigits(change->digitButtons, "13");
        QCOMPARE(change->Edit3->text(), QStringLiteral("**"));
        QTest::mouseClick(change->BitBtn1, Qt::LeftButton);
        QVERIFY(change->isVisible());
        QTest::mouseClick(change->Edit3, Qt::LeftButton);
        QCOMPARE(change->Edit3->text(), QString());
        clickDigits(change->digitButtons, "12");
        QTest::mouseClick(change->BitBtn1, Qt::LeftButton);
        QVERIFY(!change->isVisible());
    });
    QCOMPARE(messages(*fixture.prompter),
             QStringList({"Z_Kalto: 请选择任课教师！", "Z_Kalto: 两次输入的新密码不一致！"}));
    QCOMPARE(fixture.program->teachers().settingsFile().readString(QStringLiteral("教师1"), "ma",
                                                                   "none"),
             QStringLiteral("12278"));
}

void SettingsWindowTest::administratorPasswordGoesToTheWrittenCopy()
{
    ProgramFixture fixture;
    QByteArray delivered(6000, '.');
    delivered.replace(5000, 12, QByteArray(12, ' '));
    FileContents::write(fixture.programFilesDirectory() + "sxut.dll", delivered);
    fixture.start();
    SettingsWindow* settings = fixture.windows().settings;
    PasswordChangeWindow* change = fixture.windows().passwordChange;
    inSettingsWindow(fixture, [&] {
        QTest::mouseClick(settings->Button5, Qt::LeftButton);
        QVERIFY(change->isVisible());
        // With no password set, any old entry is taken; the focus starts on the old password.
        clickDigits(change->digitButtons, "99");
        QCOMPARE(change->Edit1->text(), QStringLiteral("**"));
        QTest::mouseClick(change->Edit2, Qt::LeftButton);
        clickDigits(change->digitButtons, "4711");
        QTest::mouseClick(change->Edit3, Qt::LeftButton);
        clickDigits(change->digitButtons, "4711");
        QTest::mouseClick(change->BitBtn1, Qt::LeftButton);
        QVERIFY(!change->isVisible());
    });
    QCOMPARE(messages(*fixture.prompter), QStringList());
    QByteArray expected = delivered;
    expected.replace(5000, 12, "4711        ");
    QCOMPARE(FileContents::of(fixture.programDirectory() + "sxut.dll"), expected);
    QCOMPARE(FileContents::of(fixture.programFilesDirectory() + "sxut.dll"), delivered);
}

void SettingsWindowTest::personalSettingsTakeEffectAtTheNextStart()
{
    ProgramFixture fixture;
    fixture.start();
    SettingsWindow* settings = fixture.windows().settings;
    fixture.prompter->answerColour(QColor(0, 0, 255));
    fixture.prompter->answerColour(std::nullopt);
    inSettingsWindow(fixture, [&] {
        QTest::mouseClick(settings->LCP, Qt::LeftButton);
        QCOMPARE(settings->LCP->colour(), QColor(0, 0, 255));
        QTest::mouseClick(settings->RCP, Qt::LeftButton);
        QCOMPARE(settings->RCP->colour(), QColor(128, 128, 128));
        for (int i = 0; i < 9; ++i)
            QTest::mouseClick(settings->SpeedButton7, Qt::LeftButton);
        QCOMPARE(settings->Edit4->text(), QStringLiteral("9"));
        QTest::mouseClick(settings->SpeedButton8, Qt::LeftButton);
        QCOMPARE(settings->Edit4->text(), QStringLiteral("8"));
    });
    // The board keeps its pen until the next start.
    QCOMPARE(fixture.program->board().strokeColour(), QColor(255, 0, 0));
    QCOMPARE(fixture.program->board().strokeWidth(), 2);
    fixture.program.reset();
    fixture.start();
    QCOMPARE(fixture.program->board().strokeColour(), QColor(0, 0, 255));
    QCOMPARE(fixture.program->board().strokeWidth(), 8);
    QCOMPARE(fixture.windows().board->Edit1->text(), QStringLiteral("8"));
}

void SettingsWindowTest::startupSettingsReachTheBoardAndTheOverlay_data()
{
    QTest::addColumn<QByteArray>("defaults");
    QTest::addColumn<QColor>("pen");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<int>("width");
    QTest::newRow("no settings file: red pen of 2 on grey")
        << QByteArray() << QColor(255, 0, 0) << QColor(128, 128, 128) << 2;
    QTest::newRow("white board") << QByteArray("blk=16777215\r\n") << QColor(255, 0, 0)
                                 << QColor(255, 255, 255) << 2;
    QTest::newRow("blue pen of 3") << QByteArray("frn=16711680\r\nbh=3\r\n") << QColor(0, 0, 255)
                                   << QColor(128, 128, 128) << 3;
}

void SettingsWindowTest::startupSettingsReachTheBoardAndTheOverlay()
{
    QFETCH(QByteArray, defaults);
    QFETCH(QColor, pen);
    QFETCH(QColor, background);
    QFETCH(int, width);
    ProgramFixture fixture;
    if (!defaults.isEmpty())
        FileContents::write(fixture.settingsFile(), *Gbk::encode("[教师0]\r\n") + defaults);
    fixture.start();
    BoardModel& board = fixture.program->board();
    QCOMPARE(board.strokeColour(), pen);
    QCOMPARE(board.pen().colour, pen);
    QCOMPARE(board.backgroundSwatch(), background);
    QCOMPARE(board.strokeWidth(), width);
    QCOMPARE(board.pen().width, width);
    QCOMPARE(fixture.windows().board->RCP->colour(), background);
    OverlayModel& overlay = fixture.program->overlay();
    QCOMPARE(overlay.penColour(), pen);
    QCOMPARE(overlay.strokeWidth(), width);
    QCOMPARE(fixture.windows().overlay->LCP->colour(), pen);
    QCOMPARE(fixture.windows().overlay->Edit1->text(), QString::number(width));
    fixture.windows().board->openFromDesktop();
    QCOMPARE(board.pages().currentPageImage().pixelColor(500, 500), background);
}

void SettingsWindowTest::captureModeFollowsTheChoiceAndStartsOnTheBoard()
{
    ProgramFixture fixture;
    fixture.start();
    SettingsWindow* settings = fixture.windows().settings;
    QVERIFY(settings->RadioButtonToBoard->isChecked());
    inSettingsWindow(fixture,
                     [&] { QTest::mouseClick(settings->RadioButtonToFile, Qt::LeftButton); });
    QCOMPARE(fixture.program->captureModeChoice().value(), 1);
    QCOMPARE(fixture.program->overlay().captureMode(), CaptureMode::File);
    inSettingsWindow(fixture,
                     [&] { QTest::mouseClick(settings->RadioButtonToBoard, Qt::LeftButton); });
    QCOMPARE(fixture.program->overlay().captureMode(), CaptureMode::Board);
    inSettingsWindow(fixture,
                     [&] { QTest::mouseClick(settings->RadioButtonToFile, Qt::LeftButton); });
    fixture.program.reset();
    fixture.start();
    QCOMPARE(fixture.program->captureModeChoice().value(), 0);
    QCOMPARE(fixture.program->overlay().captureMode(), CaptureMode::Board);
    QVERIFY(fixture.windows().settings->RadioButtonToBoard->isChecked());
}

QTEST_MAIN(SettingsWindowTest)
#include "SettingsWindowTest.moc"
