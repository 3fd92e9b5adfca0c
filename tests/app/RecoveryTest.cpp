#include "ProgramFixture.h"
#include "app/ToolbarWindow.h"
#include "board/content/RichTextWriter.h"
#include "board/model/BoardModel.h"
#include "board/recovery/BoardBackup.h"
#include "board/window/BoardWindow.h"

#include <QtTest>

// The board's backup through the program's own wiring: what a crash left is offered once at the
// next start and comes back whole, or is put aside; a normal end leaves nothing; a damaged
// backup is never offered; writing on the board is backed up without a page turn.
class RecoveryTest : public QObject {
    Q_OBJECT
private slots:
    void crashedBoardIsOfferedBack_data();
    void crashedBoardIsOfferedBack();
    void damagedBackupIsNotOffered();
    void writingIsBackedUpWhenTheBoardIsStill();
};

namespace {

const QString question = QStringLiteral("上次书写的内容没有正常保存，是否恢复？");

void stroke(BoardModel& board, int y)
{
    board.press(QPoint(100, y));
    board.move(QPoint(400, y + 30));
    board.release(QPoint(400, y + 30));
}

// What the board holds: pixels, records and texts of every page, the current page, and the
// content panel with its live text.
struct BoardContent {
    QList<QImage> pictures;
    QList<Page> records;
    QList<std::optional<QByteArray>> texts;
    int currentPage = 0;
    bool panelShown = false;
    QRect panelBounds;
    QString panelText;

    static BoardContent of(BoardModel& board)
    {
        BoardContent content;
        const PageStore& pages = board.pages();
        for (int n = 1; n <= pages.pageCount(); ++n) {
            content.pictures.append(pages.pageImage(n).copy());
            content.records.append(pages.page(n));
            content.texts.append(pages.pageText(n));
        }
        content.currentPage = pages.currentPage();
        content.panelShown = board.contentPanel().shown;
        content.panelBounds = board.contentPanel().bounds;
        content.panelText = board.panelText()->toPlainText();
        return content;
    }
};

// The program of a fixture wrote on two pages, the second with its content panel open and
// typed in, and was killed after a backup.
void writeAndCrash(ProgramFixture& fixture, BoardContent& written)
{
    fixture.start();
    fixture.program->startBackup();
    BoardModel& board = fixture.program->board();
    fixture.windows().toolbar->openBoard();
    stroke(board, 200);
    board.panel().open();
    board.panelText()->setPlainText(QStringLiteral("第一页"));
    board.turnRight();
    stroke(board, 300);
    board.panel().open();
    board.panel().widen();
    // Typed and not yet kept with the page: the backup takes it from the panel.
    board.panelText()->setPlainText(QStringLiteral("第二页"));
    fixture.program->backup()->backUpNow();
    fixture.program->backup()->waitForWrites();
    written = BoardContent::of(board);
    written.texts[1] = RichTextWriter::write(*board.panelText());
    written.records[1].panelBounds = written.panelBounds;
    // Killed: no exit step runs.
    fixture.program.reset();
}

} // namespace

void RecoveryTest::crashedBoardIsOfferedBack_data()
{
    QTest::addColumn<bool>("restore");
    QTest::newRow("restored") << true;
    QTest::newRow("refused") << false;
}

void RecoveryTest::crashedBoardIsOfferedBack()
{
    QFETCH(bool, restore);
    ProgramFixture crashed;
    BoardContent written;
    writeAndCrash(crashed, written);
    QCOMPARE(written.pictures.size(), 2);

    ProgramFixture next;
    next.stateDirectory = crashed.stateDirectory;
    next.start();
    next.windows().toolbar->show();
    next.prompter->answerYesNo(restore);
    next.program->startBackup();
    QCOMPARE(next.prompter->questions().size(), 1);
    QCOMPARE(next.prompter->questions().first().caption, QStringLiteral("Z_Kalto"));
    QCOMPARE(next.prompter->questions().first().text, question);

    BoardModel& board = next.program->board();
    const QString old = next.stateDirectory + QStringLiteral("recovery.old/board");
    if (restore) {
        // Every page exactly, on the page that was current, with its panel; the board is open.
        const BoardContent restored = BoardContent::of(board);
        QCOMPARE(restored.pictures, written.pictures);
        QCOMPARE(restored.currentPage, 2);
        for (int n = 1; n <= 2; ++n) {
            QCOMPARE(restored.records[n - 1].state, written.records[n - 1].state);
            QCOMPARE(restored.records[n - 1].contentKind, written.records[n - 1].contentKind);
            QCOMPARE(restored.records[n - 1].panelBounds, written.records[n - 1].panelBounds);
            QCOMPARE(restored.texts[n - 1], written.texts[n - 1]);
        }
        QVERIFY(restored.panelShown);
        QCOMPARE(restored.panelBounds, written.panelBounds);
        QCOMPARE(restored.panelText, QStringLiteral("第二页"));
        QVERIFY(next.windows().board->isVisible());
        QVERIFY(!next.windows().toolbar->isVisible());
        QVERIFY(!QFile::exists(old));
    } else {
        // Moved aside whole, so a slip of the hand loses nothing; the board starts empty.
        QCOMPARE(board.pages().pageCount(), 1);
        QVERIFY(!next.windows().board->isVisible());
        QVERIFY(next.windows().toolbar->isVisible());
        QVERIFY(QFile::exists(old));
    }

    // A normal end removes the backup: the start after it asks nothing.
    next.program->runExitSteps();
    QVERIFY(!QFileInfo::exists(next.stateDirectory + QStringLiteral("recovery")));
    next.program.reset();
    ProgramFixture after;
    after.stateDirectory = crashed.stateDirectory;
    after.start();
    after.program->startBackup();
    QVERIFY(after.prompter->questions().isEmpty());
}

void RecoveryTest::damagedBackupIsNotOffered()
{
    ProgramFixture crashed;
    BoardContent written;
    writeAndCrash(crashed, written);
    const QString index = crashed.stateDirectory + QStringLiteral("recovery/board");
    QFile file(index);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.resize(file.size() / 2));
    file.close();

    ProgramFixture next;
    next.stateDirectory = crashed.stateDirectory;
    next.start();
    next.program->startBackup();
    QVERIFY(next.prompter->questions().isEmpty());
    QCOMPARE(next.program->board().pages().pageCount(), 1);
    // Put aside, not lost, and not in this run's way.
    QVERIFY(QFile::exists(next.stateDirectory + QStringLiteral("recovery.old/board")));
    QVERIFY(!QFile::exists(index));
}

void RecoveryTest::writingIsBackedUpWhenTheBoardIsStill()
{
    ProgramFixture fixture;
    fixture.start();
    fixture.program->startBackup();
    BoardModel& board = fixture.program->board();
    fixture.windows().toolbar->openBoard();
    const QString index = fixture.stateDirectory + QStringLiteral("recovery/board");
    // A board nobody wrote on is not kept: there is nothing to offer back.
    fixture.program->backup()->backUpNow();
    fixture.program->backup()->waitForWrites();
    QVERIFY(!QFile::exists(index));

    stroke(board, 200);
    // 2 s after the stroke, with room for a loaded machine.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(index), 20000);
}

QTEST_MAIN(RecoveryTest)
#include "RecoveryTest.moc"
