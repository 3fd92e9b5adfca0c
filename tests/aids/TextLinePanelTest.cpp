// The text-line panel (TForm14) in the running program on fakes of the desktop and the launcher:
// its place on two screens, opening beside the companion program and closing when it ends, the
// board hiding and bringing it back, and its lines loaded from and saved to GBK text files.

#include "FileContents.h"
#include "ProgramFixture.h"

#include "aids/TextLinePanelModel.h"
#include "aids/window/TextLinePanel.h"
#include "app/ToolbarWindow.h"
#include "board/window/BoardWindow.h"
#include "text/Gbk.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

const QString initialLines = QStringLiteral("可以在本栏内输入多行文字\n"
                                            "拖动下面的放大镜图标选中任意一行可改变待书写框内容\n"
                                            "也可以直接在待书写框内输入文字");

// The program with the grabbing component registered and the panel opened from the toolbar.
struct PanelFixture : ProgramFixture {
    explicit PanelFixture(bool open = true)
    {
        registry->registerKey(QStringLiteral("\\XdictGrb.GrabProxy\\CurVer"));
        start();
        windows().toolbar->show();
        if (open)
            QTest::mouseClick(windows().toolbar->SpeedButton9, Qt::LeftButton);
    }
    TextLinePanel* panel() const { return windows().textLinePanel; }
    QString lines() const { return panel()->model().lines()->toPlainText(); }
    QStringList messages() const
    {
        QStringList texts;
        for (const ScriptedPrompter::Question& question : prompter->questions())
            if (question.kind == ScriptedPrompter::Kind::Inform)
                texts.append(question.text);
        return texts;
    }
};

QByteArray gbk(const QString& text)
{
    return *Gbk::encode(text);
}

} // namespace

class TextLinePanelTest : public QObject {
    Q_OBJECT
private slots:
    void placement_data();
    void placement();
    void closesWhenCompanionIsGone_data();
    void closesWhenCompanionIsGone();
    void boardHidesAndBringsBack();
    void loadReplacesLines_data();
    void loadReplacesLines();
    void saveWritesExactlyTheName_data();
    void saveWritesExactlyTheName();
};

void TextLinePanelTest::placement_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<int>("memoHeight");
    QTest::addColumn<int>("labelTop");
    QTest::addColumn<int>("saveButtonTop");
    QTest::newRow("800 x 600") << QSize(800, 600) << QRect(124, 40, 551, 103) << 86 << 88 << 72;
    QTest::newRow("1024 x 768") << QSize(1024, 768) << QRect(236, 72, 551, 154) << 125 << 132 << 80;
}

void TextLinePanelTest::placement()
{
    QFETCH(QSize, screen);
    QFETCH(QRect, geometry);
    QFETCH(int, memoHeight);
    QFETCH(int, labelTop);
    QFETCH(int, saveButtonTop);
    PanelFixture fixture(false);
    TextLinePanel* panel = fixture.panel();
    panel->placeFor(screen);
    QCOMPARE(panel->geometry(), geometry);
    QCOMPARE(panel->Memo1->geometry(), QRect(0, 0, 513, memoHeight));
    QCOMPARE(panel->Label1->geometry(), QRect(8, labelTop, 395, 13));
    QCOMPARE(panel->SpeedButton3->geometry(), QRect(517, saveButtonTop, 31, 30));
    QCOMPARE(panel->Memo1->toPlainText(), initialLines);
    QCOMPARE(panel->Memo1->focusPolicy(), Qt::ClickFocus);
    QCOMPARE(panel->Label1->text(),
             QStringLiteral("提示：为了保证正常运行，请在点击[停止]按钮前，完成最后一笔笔画。"));
    QCOMPARE(panel->SpeedButton1->toolTip(), QStringLiteral("退出"));
    QCOMPARE(panel->Timer1->interval(), 100);
}

void TextLinePanelTest::closesWhenCompanionIsGone_data()
{
    QTest::addColumn<QString>("ending");
    QTest::newRow("the companion ends") << QStringLiteral("ends");
    QTest::newRow("it handed off, then that window goes") << QStringLiteral("hands off");
    QTest::newRow("it could not be started") << QStringLiteral("not started");
    QTest::newRow("退出") << QStringLiteral("exit button");
}

void TextLinePanelTest::closesWhenCompanionIsGone()
{
    QFETCH(QString, ending);
    PanelFixture fixture(false);
    fixture.launcher->setStartSucceeds(ending != QLatin1String("not started"));
    const int blocksBefore = int(fixture.taskKeys->disableCalls().size());
    QTest::mouseClick(fixture.windows().toolbar->SpeedButton9, Qt::LeftButton);
    TextLinePanel* panel = fixture.panel();
    QVERIFY(panel->isVisible());
    QCOMPARE(panel->openMark(), 1);
    QVERIFY(panel->Timer1->isActive());
    QCOMPARE(fixture.launcher->startedPrograms().last().fileName, QStringLiteral("ani.dll"));
    QCOMPARE(fixture.launcher->startedPrograms().last().firstDirectory,
             fixture.programFilesDirectory());
    // Shown: the desktop's panels are hidden and the task keys blocked as well.
    QVERIFY(!fixture.desktop->taskbarVisible());
    QCOMPARE(fixture.taskKeys->disableCalls().size(), blocksBefore + 1);

    if (ending == QLatin1String("ends")) {
        fixture.launcher->watchedPrograms().last()->running = false;
    } else if (ending == QLatin1String("hands off")) {
        const auto companion = fixture.launcher->watchedPrograms().last();
        companion->processes.insert(4711);
        fixture.desktop->setWindows(
            {{1, QStringLiteral("Z_Kalto"), 100}, {9, QStringLiteral("写字板"), 4711}});
        companion->running = false;
        // Its window is still on the desktop: it is still there.
        panel->model().watchCompanion();
        QVERIFY(panel->isVisible());
        fixture.desktop->setWindows({{1, QStringLiteral("Z_Kalto"), 100}});
    } else if (ending == QLatin1String("exit button")) {
        QTest::mouseClick(panel->SpeedButton1, Qt::LeftButton);
    }
    QTRY_VERIFY(!panel->isVisible());
    QCOMPARE(panel->openMark(), 0);
    QVERIFY(!panel->Timer1->isActive());
    QVERIFY(fixture.desktop->taskbarVisible());
    // The program's own block still holds the task keys.
    QCOMPARE(fixture.taskKeys->releases(), 0);
}

void TextLinePanelTest::boardHidesAndBringsBack()
{
    PanelFixture fixture;
    TextLinePanel* panel = fixture.panel();
    QTest::mouseClick(fixture.windows().toolbar->SpeedButton4, Qt::LeftButton);
    QVERIFY(!panel->isVisible());
    QCOMPARE(panel->openMark(), 1);
    QVERIFY(panel->Timer1->isActive());
    fixture.desktop->setTaskbarVisible(true);
    QTest::mouseClick(fixture.windows().board->SpeedButton40, Qt::LeftButton);
    QVERIFY(panel->isVisible());
    QVERIFY(!fixture.desktop->taskbarVisible());
}

void TextLinePanelTest::loadReplacesLines_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("lines");
    QTest::newRow("GBK lines ended by CR LF")
        << gbk(QStringLiteral("第一行\r\nsecond line\r\n第三行\r\n"))
        << QStringLiteral("第一行\nsecond line\n第三行");
    QTest::newRow("last line without its end")
        << gbk(QStringLiteral("只有一行\r\n和半行")) << QStringLiteral("只有一行\n和半行");
    QTest::newRow("empty lines kept") << QByteArray("a\r\n\r\nb\r\n") << QStringLiteral("a\n\nb");
    QTest::newRow("missing file") << QByteArray() << initialLines;
}

void TextLinePanelTest::loadReplacesLines()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, lines);
    PanelFixture fixture;
    const QString path = fixture.programDirectory() + QStringLiteral("课文.txt");
    if (!content.isNull())
        FileContents::write(path, content);
    fixture.prompter->answerOpenFile(path);
    QTest::mouseClick(fixture.panel()->SpeedButton2, Qt::LeftButton);
    QCOMPARE(fixture.prompter->questions().first().filter, QStringLiteral("*.txt (*.txt)"));
    QCOMPARE(fixture.lines(), lines);
    QCOMPARE(fixture.panel()->Memo1->toPlainText(), lines);
    QCOMPARE(fixture.messages(), content.isNull()
                                     ? QStringList{QStringLiteral("无法打开文件：") + path}
                                     : QStringList());
}

void TextLinePanelTest::saveWritesExactlyTheName_data()
{
    QTest::addColumn<QString>("lines");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QString>("message");
    QTest::newRow("name without extension")
        << QString() << QStringLiteral("lines")
        << gbk(QStringLiteral("可以在本栏内输入多行文字\r\n"
                              "拖动下面的放大镜图标选中任意一行可改变待书写框内容\r\n"
                              "也可以直接在待书写框内输入文字\r\n"))
        << QString();
    QTest::newRow("typed lines ending in a line break")
        << QStringLiteral("一\n二\n") << QStringLiteral("两行.txt")
        << gbk(QStringLiteral("一\r\n二\r\n")) << QString();
    // The file keeps what it held; the text box keeps the lines.
    QTest::newRow("a character GBK lacks")
        << QStringLiteral("笑脸 😀") << QStringLiteral("lines") << QByteArray("old")
        << QStringLiteral("无法保存文件：%1\nGBK 中没有这些字符：😀");
    QTest::newRow("a folder that does not exist")
        << QString() << QStringLiteral("no such folder/lines") << QByteArray()
        << QStringLiteral("无法保存文件：%1");
}

void TextLinePanelTest::saveWritesExactlyTheName()
{
    QFETCH(QString, lines);
    QFETCH(QString, name);
    QFETCH(QByteArray, written);
    QFETCH(QString, message);
    PanelFixture fixture;
    const QString path = fixture.programDirectory() + name;
    QVERIFY(!QFile::exists(path) || QFile::remove(path));
    if (written == "old")
        FileContents::write(path, written);
    if (!lines.isNull())
        fixture.panel()->Memo1->setPlainText(lines);
    fixture.prompter->answerSaveFile(path);
    QTest::mouseClick(fixture.panel()->SpeedButton3, Qt::LeftButton);
    QCOMPARE(FileContents::of(path), written);
    QVERIFY(!QFile::exists(path + QStringLiteral(".txt")));
    QCOMPARE(fixture.messages(),
             message.isEmpty() ? QStringList() : QStringList{message.arg(path)});
    if (!lines.isNull())
        QCOMPARE(fixture.lines(), lines);
}

QTEST_MAIN(TextLinePanelTest)
#include "TextLinePanelTest.moc"
