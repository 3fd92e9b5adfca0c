#include "LessonClassroom.h"
#include "SamplePages.h"

#include "board/codec/PngCodec.h"
#include "board/pixels/RasterCopy.h"
#include "lessons/LessonStore.h"

#include <QPainter>
#include <QtTest>

namespace {

const QSize screen(640, 480);
constexpr int pageCount = 3;

// A board of a written page, a photograph and a desktop picture, on page 3.
void writeBoard(BoardModel& board)
{
    PageStore& pages = board.pages();
    const SamplePages::Kind kinds[] = {SamplePages::Kind::Strokes, SamplePages::Kind::Photo,
                                       SamplePages::Kind::Snapshot};
    for (int n = 1; n <= pageCount; ++n) {
        if (n > 1)
            pages.addPage(Qt::gray);
        const QImage page = SamplePages::make(kinds[n - 1], screen, quint32(n));
        RasterCopy::copy(page, page.rect(), pages.currentPageImage(), QPoint());
        pages.current().state = PageState::WrittenOn;
    }
}

void writeOn(PageStore& pages, int n, const QColor& colour)
{
    pages.setCurrentPage(n);
    QPainter(&pages.currentPageImage()).fillRect(QRect(30 * n, 60, 50, 40), colour);
}

QByteArray pictureFile(const LessonClassroom& classroom, int n)
{
    const LessonStore store(LessonStore::directoryOn(classroom.directory.path() + "/D/"));
    QFile file(store.pathOf(classroom.choice->lessonName(), n, LessonStore::PageFile::Picture));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// A save writes the PNG files the board made in the background while they are the pages as they
// are, and encodes the others: either way every file is what the codec writes for the page now.
class LessonPicturesTest : public QObject {
    Q_OBJECT
private slots:
    void savedPicturesAreThePagesNow_data();
    void savedPicturesAreThePagesNow();
    void openedLessonSavesTheSameFiles();
};

void LessonPicturesTest::savedPicturesAreThePagesNow_data()
{
    QTest::addColumn<bool>("keptBefore"); // the board was done keeping before the writes
    QTest::addColumn<QList<int>>("writtenPages");
    QTest::addColumn<int>("currentAtSave");
    QTest::addColumn<bool>("keptAtSave");
    QTest::newRow("every page kept") << true << QList<int>{} << 1 << true;
    QTest::newRow("saved right after the turns") << false << QList<int>{} << 1 << false;
    QTest::newRow("written after it was kept, left") << true << QList<int>{2} << 3 << false;
    QTest::newRow("written after it was kept, kept again") << true << QList<int>{2} << 1 << true;
    QTest::newRow("written after it was kept, current") << true << QList<int>{1, 2} << 2 << true;
}

void LessonPicturesTest::savedPicturesAreThePagesNow()
{
    QFETCH(bool, keptBefore);
    QFETCH(QList<int>, writtenPages);
    QFETCH(int, currentAtSave);
    QFETCH(bool, keptAtSave);
    LessonClassroom classroom(screen);
    PageStore& pages = classroom.board.pages();
    writeBoard(classroom.board);
    pages.setCurrentPage(1);
    if (keptBefore) {
        pages.waitUntilKept();
        QCOMPARE(classroom.transfer->save([] {}).message, QString());
    }
    for (int n : writtenPages)
        writeOn(pages, n, Qt::magenta);
    pages.setCurrentPage(currentAtSave);
    if (keptAtSave)
        pages.waitUntilKept();

    QCOMPARE(classroom.transfer->save([] {}).message, QString());
    for (int n = 1; n <= pageCount; ++n)
        QCOMPARE(pictureFile(classroom, n), PngCodec::encode(pages.pageImage(n)));
}

void LessonPicturesTest::openedLessonSavesTheSameFiles()
{
    LessonClassroom classroom(screen);
    writeBoard(classroom.board);
    QCOMPARE(classroom.transfer->save([] {}).message, QString());
    QList<QByteArray> saved;
    for (int n = 1; n <= pageCount; ++n)
        saved.append(pictureFile(classroom, n));

    for (bool kept : {false, true}) {
        ScriptedPrompter prompter;
        BoardModel board(screen, classroom.directory.path() + QStringLiteral("/work/"), prompter);
        QVERIFY(classroom.transferOn(board)->open([] {}).closes);
        QCOMPARE(board.pages().pageCount(), pageCount);
        if (kept)
            board.pages().waitUntilKept();
        QCOMPARE(classroom.transferOn(board)->save([] {}).message, QString());
        for (int n = 1; n <= pageCount; ++n)
            QCOMPARE(pictureFile(classroom, n), saved[n - 1]);
    }
}

QTEST_MAIN(LessonPicturesTest)
#include "LessonPicturesTest.moc"
