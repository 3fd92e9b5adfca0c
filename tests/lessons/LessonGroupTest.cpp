#include "../app/ProgramFixture.h"
#include "FileContents.h"
#include "LessonSamples.h"

#include "board/model/BoardModel.h"
#include "board/pixels/PageFormat.h"
#include "board/window/BoardWindow.h"
#include "board/window/ContentPanel.h"
#include "lessons/LessonChoice.h"
#include "lessons/LessonPdf.h"
#include "lessons/TeacherSettings.h"
#include "lessons/window/SettingsWindow.h"
#include "text/Gbk.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

const QSize screen(1024, 768);

void clickEntry(QListWidget* list, int row)
{
    const QRect place = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
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
    for (const ScriptedPrompter::Question& question : prompter.questions())
        if (question.kind == ScriptedPrompter::Kind::Inform)
            texts << question.text;
    return texts;
}

// Page n of the board before a save: its own colour with a mark, a panel record and a text.
QColor colourOf(int n)
{
    return QColor(40 * n, 200 - 30 * n, 90);
}

// The program with teacher 李 (no password) in the settings file, the lesson store on drive D.
struct LessonFixture : ProgramFixture {
    QTemporaryDir driveD;

    explicit LessonFixture(const QByteArray& teacherSection = "[李]\r\nce=2\r\nke=3\r\n")
    {
        drives->setDrives({{QLatin1Char('C'), DriveKind::Fixed, QString(), driveC()},
                           {QLatin1Char('D'), DriveKind::Removable, QStringLiteral("课件"),
                            driveD.path() + '/'}});
        FileContents::write(settingsFile(), *Gbk::encode("[tec]\r\nmum=1\r\nte1=李\r\ndrive=D\r\n" +
                                                         QString::fromUtf8(teacherSection)));
        start();
    }
    QString store() const { return driveD.path() + "/Program files/Z_Kalto/data/"; }
    BoardModel& board() { return program->board(); }
    SettingsWindow* settings() { return windows().settings; }

    // Opens the settings window from the board and runs inside while it is shown modally;
    // "确定" closes it if inside did not.
    void inSettingsWindow(const std::function<void()>& inside)
    {
        windows().board->openFromDesktop();
        QTimer::singleShot(0, settings(), [&] {
            inside();
            if (settings()->isVisible())
                QTest::mouseClick(settings()->BitBtn1, Qt::LeftButton);
        });
        QTest::mouseClick(windows().board->SpeedButton6, Qt::LeftButton);
    }

    // A board of pages 1 .. count, each in its colour with page n's text and panel; page 2
    // shows a web document.
    void writeBoard(int count)
    {
        PageStore& pages = board().pages();
        while (pages.pageCount() < count) {
            pages.current().state = PageState::WrittenOn;
            board().turnRight();
        }
        for (int n = 1; n <= count; ++n) {
            pages.setCurrentPage(n);
            pages.currentPageImage().fill(colourOf(n));
            pages.currentPageImage().setPixelColor(500 + n, 300, Qt::yellow);
            pages.current().state = PageState::WrittenOn;
            pages.current().contentKind = n == 2 ? ContentKind::WebDocument : ContentKind::Text;
            pages.savePanelState("text of page " + QByteArray::number(n),
                                 QRect(10 * n, 41, 368, 700));
        }
    }
};

} // namespace

// The lesson group of the settings window on the program started with fakes: the lists, the
// drive box, the guard, and saving the board as a lesson and opening it again while the board
// shows each page.
class LessonGroupTest : public QObject {
    Q_OBJECT

private slots:
    void driveBoxListsDrivesWithTheirLabels();
    void lockedTeacherCanOnlyBeTold_data();
    void lockedTeacherCanOnlyBeTold();
    void removingTheLastEntry_data();
    void removingTheLastEntry();
    void savedBoardOpensAgain_data();
    void savedBoardOpensAgain();
    void openingWhatTheStoreLacksKeepsTheBoard_data();
    void openingWhatTheStoreLacksKeepsTheBoard();
    void missingPictureAndRecordOpenWithDefaults();
    void driveTakenOutRefusesTheSave();
    void refusedSaveIsReportedOverTheBoard();
    void exportWritesTheBoardAsPdf_data();
    void exportWritesTheBoardAsPdf();
    void exportAsksBeforeReplacingAFileTheDialogDidNotName_data();
    void exportAsksBeforeReplacingAFileTheDialogDidNotName();
    void pdfPanelIsAsTheBoardShowsIt_data();
    void pdfPanelIsAsTheBoardShowsIt();
};

void LessonGroupTest::driveBoxListsDrivesWithTheirLabels()
{
    LessonFixture fixture;
    QComboBox* box = fixture.settings()->DriveComboBox1;
    QCOMPARE(box->count(), 2);
    QCOMPARE(box->itemText(0), QStringLiteral("C:"));
    QCOMPARE(box->itemText(1), QStringLiteral("D: [课件]"));
    QCOMPARE(box->currentIndex(), 1);
    // A disk that comes while the program runs is in the box the next time the window opens.
    QTemporaryDir stick;
    fixture.drives->setDrives(
        {{QLatin1Char('C'), DriveKind::Fixed, QString(), fixture.driveC()},
         {QLatin1Char('D'), DriveKind::Removable, QStringLiteral("课件"),
          fixture.driveD.path() + '/'},
         {QLatin1Char('E'), DriveKind::Removable, QString(), stick.path() + '/'}});
    fixture.inSettingsWindow([&] {
        QCOMPARE(box->count(), 3);
        QCOMPARE(box->itemText(2), QStringLiteral("E:"));
        box->activated(2);
        QCOMPARE(fixture.program->teachers().lessonDrive(), QLatin1Char('E'));
    });
}

void LessonGroupTest::lockedTeacherCanOnlyBeTold_data()
{
    QTest::addColumn<QString>("button");
    for (const char* button : {"Button6", "Button7", "Button8", "Button9", "BitBtn2", "BitBtn3"})
        QTest::newRow(button) << button;
}

void LessonGroupTest::lockedTeacherCanOnlyBeTold()
{
    QFETCH(QString, button);
    LessonFixture fixture;
    SettingsWindow* settings = fixture.settings();
    FileContents::write(fixture.store() + "datb.sec", *Gbk::encode("[李11]\r\npag=1\r\n"));
    fixture.inSettingsWindow([&] {
        // The default entry unlocks nobody.
        clickEntry(settings->ListBox1, 0);
        QTest::mouseClick(settings->findChild<QPushButton*>(button), Qt::LeftButton);
        QVERIFY(settings->isVisible());
        QCOMPARE(entries(settings->ListBox2), QStringList({"1"}));
        QCOMPARE(entries(settings->ListBox3), QStringList({"1"}));
    });
    QCOMPARE(messages(*fixture.prompter), QStringList{"请选择任课教师！"});
    QCOMPARE(QDir(fixture.store()).entryList(QDir::Files), QStringList{"datb.sec"});
    QCOMPARE(fixture.board().pages().current().state, PageState::NeverFilled);
}

void LessonGroupTest::removingTheLastEntry_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("selected"); // -1: none
    QTest::addColumn<int>("selectedAfter");
    QTest::newRow("one entry: the list is empty") << 1 << 0 << -1;
    QTest::newRow("the selected last entry goes") << 3 << 2 << -1;
    QTest::newRow("an earlier selection stays") << 3 << 0 << 0;
    QTest::newRow("nothing selected") << 3 << -1 << -1;
}

void LessonGroupTest::removingTheLastEntry()
{
    QFETCH(int, entries);
    QFETCH(int, selected);
    QFETCH(int, selectedAfter);
    LessonFixture fixture(QStringLiteral("[李]\r\nce=%1\r\nke=%1\r\n").arg(entries).toUtf8());
    SettingsWindow* settings = fixture.settings();
    fixture.inSettingsWindow([&] {
        clickEntry(settings->ListBox1, 1);
        for (auto [list, remove, field] :
             {std::tuple{settings->ListBox2, settings->Button7, settings->Edit2},
              std::tuple{settings->ListBox3, settings->Button9, settings->Edit3}}) {
            if (selected >= 0)
                clickEntry(list, selected);
            const QString number = field->text();
            QCOMPARE(number, QString::number(selected >= 0 ? selected + 1 : 1));
            QTest::mouseClick(remove, Qt::LeftButton);
            QCOMPARE(list->count(), entries - 1);
            QCOMPARE(list->selectedItems().isEmpty(), selectedAfter < 0);
            if (selectedAfter >= 0)
                QCOMPARE(list->currentRow(), selectedAfter);
            // The field keeps its number.
            QCOMPARE(field->text(), number);
        }
    });
    QVERIFY(fixture.prompter->questions().isEmpty());
}

void LessonGroupTest::savedBoardOpensAgain_data()
{
    QTest::addColumn<int>("currentAtOpen");
    QTest::addColumn<int>("pagesAtOpen");
    QTest::addColumn<int>("currentAfter");
    QTest::newRow("on page 2 of 5: page 2 stays") << 2 << 5 << 2;
    QTest::newRow("on page 5 of 5: the lesson's last page") << 5 << 5 << 3;
}

void LessonGroupTest::savedBoardOpensAgain()
{
    QFETCH(int, currentAtOpen);
    QFETCH(int, pagesAtOpen);
    QFETCH(int, currentAfter);
    LessonFixture fixture;
    SettingsWindow* settings = fixture.settings();
    BoardWindow* boardWindow = fixture.windows().board;
    BoardModel& board = fixture.board();
    fixture.writeBoard(3);
    board.pages().setCurrentPage(1);
    board.repaintFromPage();
    // Page 1's text is the panel's, kept as rich text when "设置" is pressed.
    board.panelText()->setPlainText(QStringLiteral("第一课：春晓"));

    // The board shows each page with its number while it goes.
    QList<QPair<QString, QColor>> shown;
    QObject::connect(&board, &BoardModel::lessonPageShown, boardWindow, [&] {
        QVERIFY(!settings->isVisible());
        shown.append({boardWindow->Edit2->text(), board.screen().pixel({5, 100})});
    });
    fixture.inSettingsWindow([&] {
        clickEntry(settings->ListBox1, 1);
        clickEntry(settings->ListBox2, 1);
        clickEntry(settings->ListBox3, 0);
        QTest::mouseClick(settings->BitBtn3, Qt::LeftButton);
        QVERIFY(!settings->isVisible());
    });
    QCOMPARE(messages(*fixture.prompter), QStringList());
    QCOMPARE(shown, (QList<QPair<QString, QColor>>{
                        {"1", colourOf(1)}, {"2", colourOf(2)}, {"3", colourOf(3)}}));
    QCOMPARE(boardWindow->Edit2->text(), QStringLiteral("1"));
    QCOMPARE(board.screen().pixel({5, 100}), colourOf(1));
    QStringList files = QDir(fixture.store()).entryList(QDir::Files);
    QCOMPARE(files.size(), 1 + 9);
    QCOMPARE(FileContents::of(fixture.store() + "datb.sec"), *Gbk::encode("[李21]\r\npag=3\r\n"));
    QCOMPARE(FileContents::of(fixture.store() + "李212.sec"),
             QByteArray("[edit]\r\nvis=2\r\nleft=20\r\ntop=41\r\nwidth=368\r\nheight=700\r\n"));
    QCOMPARE(FileContents::of(fixture.store() + "李213.te"), QByteArray("text of page 3"));
    const QByteArray richText = FileContents::of(fixture.store() + "李211.te");
    QVERIFY2(richText.startsWith("{\\rtf1") && richText.contains("\\ansicpg936") &&
                 richText.contains(QByteArray("\\'b4\\'ba\\'cf\\'fe")),
             richText.constData());
    // The board as it was saved ("设置" kept the current page's panel and text first).
    PageStore& pages = board.pages();
    QList<LessonPage> saved;
    for (int n = 1; n <= 3; ++n)
        saved.append(board.lessonPage(n));

    // Another day: a different board, then the lesson again.
    shown.clear();
    for (int n = 1; n <= pagesAtOpen; ++n) {
        if (n > pages.pageCount()) {
            pages.current().state = PageState::WrittenOn;
            board.turnRight();
        }
        pages.setCurrentPage(n);
        pages.currentPageImage().fill(Qt::white);
        pages.current().contentKind = ContentKind::None;
        pages.savePanelState("another text", QRect(0, 41, 368, 723));
    }
    pages.setCurrentPage(currentAtOpen);
    fixture.inSettingsWindow([&] {
        clickEntry(settings->ListBox1, 1);
        QTest::mouseClick(settings->BitBtn2, Qt::LeftButton);
        QVERIFY(!settings->isVisible());
    });
    QCOMPARE(messages(*fixture.prompter), QStringList());
    QCOMPARE(shown.size(), 3);
    QCOMPARE(shown.last(), (QPair<QString, QColor>{"3", colourOf(3)}));
    QCOMPARE(pages.pageCount(), 3);
    QCOMPARE(pages.currentPage(), currentAfter);
    QCOMPARE(boardWindow->Edit2->text(), QString::number(currentAfter));
    for (int n = 1; n <= 3; ++n) {
        QCOMPARE(pages.page(n).state, PageState::WrittenOn);
        const LessonPage page = board.lessonPage(n);
        QCOMPARE(page.picture, saved[n - 1].picture);
        QCOMPARE(page.contentKind, saved[n - 1].contentKind);
        QCOMPARE(page.panelBounds, saved[n - 1].panelBounds);
        QCOMPARE(page.text, saved[n - 1].text);
    }
    QCOMPARE(board.screen().pixel({5, 100}), colourOf(currentAfter));
    // The panel of the current page: shown for text (page 3), not for a web document (page 2).
    QCOMPARE(board.contentPanel().shown, currentAfter == 3);
    QCOMPARE(board.contentPanel().bounds, QRect(10 * currentAfter, 41, 368, 700));
    QCOMPARE(board.panelText()->toPlainText(), "text of page " + QString::number(currentAfter));
}

void LessonGroupTest::openingWhatTheStoreLacksKeepsTheBoard_data()
{
    QTest::addColumn<QByteArray>("index"); // empty: no index at all
    QTest::newRow("no lesson index on the drive") << QByteArray();
    QTest::newRow("the lesson is not in the index") << QByteArray("[李12]\r\npag=2\r\n");
    QTest::newRow("the lesson has no pages") << QByteArray("[李11]\r\npag=0\r\n");
}

void LessonGroupTest::openingWhatTheStoreLacksKeepsTheBoard()
{
    QFETCH(QByteArray, index);
    LessonFixture fixture;
    if (!index.isEmpty())
        FileContents::write(fixture.store() + "datb.sec", *Gbk::encode(QString::fromUtf8(index)));
    fixture.writeBoard(2);
    SettingsWindow* settings = fixture.settings();
    fixture.inSettingsWindow([&] {
        clickEntry(settings->ListBox1, 1);
        QTest::mouseClick(settings->BitBtn2, Qt::LeftButton);
        QVERIFY(settings->isVisible());
    });
    QCOMPARE(messages(*fixture.prompter), QStringList{"系统找不到指定的文件！"});
    QCOMPARE(fixture.board().pages().pageCount(), 2);
    QCOMPARE(fixture.board().pages().pageImage(1).pixelColor(100, 100), colourOf(1));
}

void LessonGroupTest::missingPictureAndRecordOpenWithDefaults()
{
    LessonFixture fixture;
    SettingsWindow* settings = fixture.settings();
    fixture.writeBoard(2);
    fixture.inSettingsWindow([&] {
        clickEntry(settings->ListBox1, 1);
        QTest::mouseClick(settings->BitBtn3, Qt::LeftButton);
    });
    QVERIFY(QFile::remove(fixture.store() + "李111.pte"));
    QVERIFY(QFile::remove(fixture.store() + "李111.sec"));
    QVERIFY(QFile::remove(fixture.store() + "李111.te"));
    FileContents::write(fixture.store() + "李112.pte", "no picture");
    fixture.board().setBackgroundSwatch(Qt::blue);
    fixture.board().pages().setCurrentPage(1);
    fixture.board().panelText()->setPlainText("the board's text before");
    fixture.inSettingsWindow([&] {
        clickEntry(settings->ListBox1, 1);
        QTest::mouseClick(settings->BitBtn2, Qt::LeftButton);
    });
    const PageStore& pages = fixture.board().pages();
    QCOMPARE(pages.pageCount(), 2);
    for (int n = 1; n <= 2; ++n) {
        QCOMPARE(pages.pageImage(n).pixelColor(100, 100), QColor(Qt::blue));
        QCOMPARE(pages.pageImage(n).pixelColor(501, 300), QColor(Qt::blue));
    }
    QCOMPARE(pages.page(1).contentKind, ContentKind::None);
    QCOMPARE(pages.page(1).panelBounds, QRect(0, 40, 368, screen.height() - 40));
    QCOMPARE(pages.page(2).contentKind, ContentKind::WebDocument);
    // Page 1 has no text: neither its page text nor the panel keeps the board's earlier one.
    QVERIFY(!pages.pageText(1));
    QCOMPARE(fixture.board().panelText()->toPlainText(), QString());
}

void LessonGroupTest::driveTakenOutRefusesTheSave()
{
    LessonFixture fixture;
    SettingsWindow* settings = fixture.settings();
    fixture.writeBoard(1);
    // The stick with drive D is taken out after the program started.
    fixture.drives->setDrives({{QLatin1Char('C'), DriveKind::Fixed, QString(), fixture.driveC()}});
    fixture.inSettingsWindow([&] {
        QCOMPARE(settings->DriveComboBox1->currentIndex(), -1);
        clickEntry(settings->ListBox1, 1);
        QTest::mouseClick(settings->BitBtn3, Qt::LeftButton);
        QVERIFY(settings->isVisible());
        QTest::mouseClick(settings->BitBtn2, Qt::LeftButton);
        QVERIFY(settings->isVisible());
    });
    QCOMPARE(messages(*fixture.prompter),
             QStringList({"找不到盘区 D，课程没有保存。", "系统找不到指定的文件！"}));
}

void LessonGroupTest::refusedSaveIsReportedOverTheBoard()
{
    LessonFixture fixture;
    SettingsWindow* settings = fixture.settings();
    fixture.writeBoard(2);
    fixture.inSettingsWindow([&] {
        clickEntry(settings->ListBox1, 1);
        QTest::mouseClick(settings->BitBtn3, Qt::LeftButton);
    });
    const QByteArray index = FileContents::of(fixture.store() + "datb.sec");
    const QByteArray picture = FileContents::of(fixture.store() + "李112.pte");
    if (!LessonSamples::refuseWrites(fixture.store(), true))
        QSKIP("directories cannot be made read-only here");
    fixture.board().pages().setCurrentPage(2);
    fixture.board().pages().currentPageImage().fill(Qt::white);
    fixture.inSettingsWindow([&] {
        clickEntry(settings->ListBox1, 1);
        QTest::mouseClick(settings->BitBtn3, Qt::LeftButton);
        // The window was hidden for the pages: it does not stay to block the board.
        QVERIFY(!settings->isVisible());
    });
    LessonSamples::refuseWrites(fixture.store(), false);
    const QStringList told = messages(*fixture.prompter);
    QCOMPARE(told.size(), 1);
    // Page 1 is as it was saved and stays in place: the first file written is page 2's picture.
    QVERIFY2(told[0].startsWith("无法写入文件 " + fixture.store() + "李112.pte："),
             qPrintable(told[0]));
    QCOMPARE(fixture.windows().board->Edit2->text(), QStringLiteral("2"));
    QCOMPARE(FileContents::of(fixture.store() + "datb.sec"), index);
    QCOMPARE(FileContents::of(fixture.store() + "李112.pte"), picture);
}

void LessonGroupTest::exportWritesTheBoardAsPdf_data()
{
    QTest::addColumn<QString>("answer"); // the file dialog's, in the drive's directory
    QTest::addColumn<QString>("written");
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("name without extension") << "第一课"
                                            << "第一课.pdf" << false;
    QTest::newRow("name with extension") << "a.pdf"
                                         << "a.pdf" << false;
    QTest::newRow("cancelled") << ""
                               << "" << false;
    QTest::newRow("folder that refuses files") << "b"
                                               << "b.pdf" << true;
}

// "导出" asks for a file through the prompter and writes every page of the board into it (page 1
// with its panel's text as text), without an unlocked teacher; the window stays open. A refused
// write names the file and the reason and leaves no file.
void LessonGroupTest::exportWritesTheBoardAsPdf()
{
    QFETCH(QString, answer);
    QFETCH(QString, written);
    QFETCH(bool, readOnly);
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        QSKIP("poppler-utils is not installed");
    LessonFixture fixture;
    SettingsWindow* settings = fixture.settings();
    fixture.writeBoard(3);
    fixture.board().pages().setCurrentPage(1);
    fixture.board().repaintFromPage();
    fixture.board().panelText()->setPlainText(QStringLiteral("第一课：春晓"));
    const QString folder = fixture.driveD.path() + QStringLiteral("/导出");
    QVERIFY(QDir().mkpath(folder));
    if (readOnly && !LessonSamples::refuseWrites(folder, true))
        QSKIP("directories cannot be made read-only here");
    fixture.prompter->answerSaveFile(answer.isEmpty() ? QString() : folder + '/' + answer);
    fixture.inSettingsWindow([&] {
        QTest::mouseClick(settings->BitBtn4, Qt::LeftButton);
        QVERIFY(settings->isVisible());
    });
    LessonSamples::refuseWrites(folder, false);

    const ScriptedPrompter::Question asked = fixture.prompter->questions().value(0);
    QCOMPARE(asked.kind, ScriptedPrompter::Kind::SaveFile);
    QCOMPARE(asked.filter, QStringLiteral("PDF (*.pdf)"));
    const QString path = folder + '/' + written;
    const QStringList told = messages(*fixture.prompter);
    if (answer.isEmpty()) {
        QCOMPARE(told, QStringList());
    } else if (readOnly) {
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].startsWith("无法写入文件 " + path + "："), qPrintable(told[0]));
    } else {
        QCOMPARE(told, QStringList{"已将 3 页导出到 " + path + "。"});
    }
    QCOMPARE(QDir(folder).entryList(QDir::Files),
             written.isEmpty() || readOnly ? QStringList() : QStringList{written});
    if (written.isEmpty() || readOnly)
        return;
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path});
    QVERIFY(info.waitForFinished(120'000));
    const QString facts = QString::fromUtf8(info.readAllStandardOutput());
    QVERIFY2(facts.contains(QRegularExpression("Pages:\\s+3\\n")), qPrintable(facts));
    QVERIFY2(facts.contains("768 x 576 pts"), qPrintable(facts));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {"-f", "1", "-l", "1", path, "-"});
    QVERIFY(text.waitForFinished(120'000));
    QCOMPARE(QString::fromUtf8(text.readAllStandardOutput()).simplified(),
             QStringLiteral("第一课：春晓"));
}

void LessonGroupTest::exportAsksBeforeReplacingAFileTheDialogDidNotName_data()
{
    QTest::addColumn<QString>("answer"); // the file dialog's; "a.pdf" is there already
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("replaced");
    QTest::newRow(".pdf added, replace") << "a" << true << true << true;
    QTest::newRow(".pdf added, keep") << "a" << true << false << false;
    // The dialog itself asks before it gives a name that is there.
    QTest::newRow("named by the dialog") << "a.pdf" << false << false << true;
}

// A file that ".pdf" added to the chosen name happens to name is replaced only when the teacher
// says so: the file dialog never asked about it.
void LessonGroupTest::exportAsksBeforeReplacingAFileTheDialogDidNotName()
{
    QFETCH(QString, answer);
    QFETCH(bool, asked);
    QFETCH(bool, yes);
    QFETCH(bool, replaced);
    LessonFixture fixture;
    fixture.writeBoard(1);
    const QString path = fixture.driveD.path() + QStringLiteral("/a.pdf");
    const QByteArray earlier("an earlier file");
    FileContents::write(path, earlier);
    fixture.prompter->answerSaveFile(fixture.driveD.path() + '/' + answer);
    if (asked)
        fixture.prompter->answerYesNo(yes);
    fixture.inSettingsWindow(
        [&] { QTest::mouseClick(fixture.settings()->BitBtn4, Qt::LeftButton); });

    QList<ScriptedPrompter::Question> questions = fixture.prompter->questions();
    QCOMPARE(questions.value(1).kind == ScriptedPrompter::Kind::YesNo, asked);
    if (asked)
        QCOMPARE(questions.value(1).text, QStringLiteral("文件 %1 已存在，是否替换？").arg(path));
    QCOMPARE(FileContents::of(path).startsWith("%PDF"), replaced);
    if (!replaced)
        QCOMPARE(FileContents::of(path), earlier);
    QCOMPARE(fixture.prompter->unusedAnswers(), 0);
}

void LessonGroupTest::pdfPanelIsAsTheBoardShowsIt_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QRect>("bounds");
    QTest::newRow("Chinese") << "第一课：春晓" << QRect(0, 40, 368, 728);
    QTest::newRow("wrapped, cut at the bottom")
        << QString("春眠不觉晓，处处闻啼鸟。夜来风雨声，花落知多少。").repeated(6)
        << QRect(100, 200, 300, 250);
    QTest::newRow("formatted") << "<p>plain <b>bold</b> <i>italic</i></p><p style=\"color:#c00000; "
                                  "font-size:20pt\">红色 <u>下划线</u></p>"
                               << QRect(30, 60, 420, 300);
}

// The panel LessonPdf draws is, pixel for pixel, the board's content panel as the screen shows it
// (its text box without the title bar), whatever the text and bounds.
void LessonGroupTest::pdfPanelIsAsTheBoardShowsIt()
{
    QFETCH(QString, html);
    QFETCH(QRect, bounds);
    LessonFixture fixture;
    BoardModel& board = fixture.board();
    fixture.windows().board->openFromDesktop();
    board.pages().current().panelBounds = bounds;
    board.panel().open();
    board.panel().hideTitleBar();
    board.panelText()->setHtml(html);
    // The text as the page keeps it (rich text) is what the board shows on coming back to it.
    board.savePanelState();
    board.panel().restore(1);
    const QImage shown = fixture.windows().board->Panel4->picture().convertToFormat(pageFormat);
    QCOMPARE(shown.size(), bounds.size());

    QImage drawn(bounds.size(), pageFormat);
    drawn.fill(Qt::magenta);
    QPainter painter(&drawn);
    painter.translate(-bounds.topLeft());
    LessonPdf(screen, board.contentPanel().textColour).paintPanel(painter, board.lessonPage(1));
    painter.end();
    int differing = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            differing += drawn.pixel(x, y) != shown.pixel(x, y);
    QCOMPARE(differing, 0);
}

QTEST_MAIN(LessonGroupTest)
#include "LessonGroupTest.moc"
