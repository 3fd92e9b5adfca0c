#include "board/recovery/RecoveryFolder.h"

#include "SamplePages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {

const QSize screen(320, 240);

QImage pageOf(SamplePages::Kind kind, quint32 seed)
{
    return SamplePages::make(kind, screen, seed);
}

// A board of three pages as a backup takes it, on page 2, which comes as an image.
BoardSnapshot sampleBoard()
{
    BoardSnapshot board;
    board.currentPage = 2;
    Page written{PageState::WrittenOn, ContentKind::Text, QRect(0, 41, 200, 150), false};
    Page stamped{PageState::Cleared, ContentKind::WebDocument, QRect(30, 60, 250, 170), true};
    Page never{PageState::NeverFilled, ContentKind::None, QRect(0, 41, 368, 600), false};
    board.records = {written, stamped, never};
    board.pixels = {CompactPage(pageOf(SamplePages::Kind::Strokes, 1)), CompactPage(),
                    CompactPage(pageOf(SamplePages::Kind::Empty, 1))};
    board.currentImage = pageOf(SamplePages::Kind::Photo, 2);
    board.texts = {QByteArray("{\\rtf1 first}"), std::nullopt, QByteArray("{\\rtf1 \\u20320?}")};
    return board;
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::System, QDir::Name);
}

bool rewrite(const QString& path, const std::function<void(QByteArray&)>& change)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray bytes = file.readAll();
    change(bytes);
    return file.resize(0) && file.write(bytes) == bytes.size();
}

} // namespace

// The board's backup folder: what it keeps reads back whole, a damaged folder is refused
// whatever was damaged, a folder a running copy holds is never taken, and a refused backup is
// kept aside until the next refusal.
class RecoveryFolderTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void keepsTheBoardWhole();
    void damagedFolderIsRefused_data();
    void damagedFolderIsRefused();
    void runningCopyKeepsItsFolder();
    void refusedBackupIsKeptAsideUntilTheNext();

private:
    std::unique_ptr<QTemporaryDir> m_state;
    QString state() const { return m_state->path() + QLatin1Char('/'); }
};

void RecoveryFolderTest::init()
{
    m_state = std::make_unique<QTemporaryDir>();
}

void RecoveryFolderTest::keepsTheBoardWhole()
{
    BoardSnapshot board = sampleBoard();
    QString path;
    {
        RecoveryFolder folder(state());
        QVERIFY(folder.isClaimed());
        QVERIFY(!folder.holdsBackup());
        QVERIFY(folder.write(board));
        QCOMPARE(filesIn(folder.path()), QStringList({"board", "lock", "page-1.1", "page-2.1",
                                                      "page-3.1", "text-1.1", "text-3.1"}));
        // A backup with nothing changed writes nothing.
        board.currentImage = QImage();
        QVERIFY(folder.write(board));
        QCOMPARE(filesIn(folder.path()).size(), 7);
        // Only what changed is written again; the files it replaces go after the index.
        board.pixels[2] = CompactPage(pageOf(SamplePages::Kind::Snapshot, 3));
        board.texts[0] = std::nullopt;
        board.texts[1] = QByteArray("{\\rtf1 second}");
        board.records[0].panelBounds.moveTop(300);
        QVERIFY(folder.write(board));
        QCOMPARE(filesIn(folder.path()), QStringList({"board", "lock", "page-1.1", "page-2.1",
                                                      "page-3.2", "text-2.2", "text-3.1"}));
        path = folder.path();
        // A crash: the folder stays, its lock goes.
    }

    RecoveryFolder left(state());
    QCOMPARE(left.path(), path);
    QVERIFY(left.holdsBackup());
    const RecoveryFolder::Reading reading = left.read(screen);
    QVERIFY2(reading.problem.isEmpty(), qPrintable(reading.problem));
    const KeptBoard& kept = *reading.board;
    QCOMPARE(kept.currentPage, 2);
    QCOMPARE(kept.records.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(kept.records[i].state, board.records[i].state);
        QCOMPARE(kept.records[i].contentKind, board.records[i].contentKind);
        QCOMPARE(kept.records[i].panelBounds, board.records[i].panelBounds);
        QCOMPARE(kept.records[i].panelStamped, board.records[i].panelStamped);
        QCOMPARE(kept.texts[i], board.texts[i]);
    }
    QCOMPARE(kept.pixels[0].toImage(), board.pixels[0].toImage());
    QCOMPARE(kept.pixels[1].toImage(), pageOf(SamplePages::Kind::Photo, 2));
    QCOMPARE(kept.pixels[2].toImage(), board.pixels[2].toImage());

    // Written on from there, the folder goes on from what it read.
    board.pixels = kept.pixels;
    board.records.removeLast();
    board.pixels.removeLast();
    board.texts.removeLast();
    QVERIFY(left.write(board));
    QCOMPARE(filesIn(left.path()),
             QStringList({"board", "lock", "page-1.1", "page-2.1", "text-2.2"}));
}

void RecoveryFolderTest::damagedFolderIsRefused_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<std::function<void(QByteArray&)>>("damage");
    QTest::addColumn<QSize>("screenSize");
    const auto cutShort = [](QByteArray& bytes) { bytes.chop(bytes.size() / 3); };
    const auto oneBitChanged = [](QByteArray& bytes) { bytes[bytes.size() / 2] ^= 0x04; };
    const auto emptied = [](QByteArray& bytes) { bytes.clear(); };
    QTest::newRow("index cut short") << "board" << std::function(cutShort) << screen;
    QTest::newRow("index with a bit changed") << "board" << std::function(oneBitChanged) << screen;
    QTest::newRow("index empty") << "board" << std::function(emptied) << screen;
    QTest::newRow("page cut short") << "page-2.1" << std::function(cutShort) << screen;
    QTest::newRow("page with a bit changed")
        << "page-1.1" << std::function(oneBitChanged) << screen;
    QTest::newRow("text with a bit changed")
        << "text-3.1" << std::function(oneBitChanged) << screen;
    QTest::newRow("page missing") << "page-3.1" << std::function<void(QByteArray&)>() << screen;
    QTest::newRow("text missing") << "text-1.1" << std::function<void(QByteArray&)>() << screen;
    QTest::newRow("pages of another screen")
        << "board" << std::function([](QByteArray&) {}) << QSize(1024, 768);
}

void RecoveryFolderTest::damagedFolderIsRefused()
{
    QFETCH(QString, file);
    QFETCH(std::function<void(QByteArray&)>, damage);
    QFETCH(QSize, screenSize);
    {
        RecoveryFolder folder(state());
        QVERIFY(folder.write(sampleBoard()));
        const QString path = folder.path() + file;
        if (damage)
            QVERIFY(rewrite(path, damage));
        else
            QVERIFY(QFile::remove(path));
    }
    RecoveryFolder left(state());
    const RecoveryFolder::Reading reading = left.read(screenSize);
    QVERIFY(!reading.board);
    QVERIFY(!reading.problem.isEmpty());
    QVERIFY(!reading.problem.contains(QLatin1Char('\n')));
}

void RecoveryFolderTest::runningCopyKeepsItsFolder()
{
    RecoveryFolder running(state());
    QVERIFY(running.write(sampleBoard()));
    // A copy started beside it neither takes nor offers the running copy's backup: it keeps its
    // own next to it.
    auto beside = std::make_unique<RecoveryFolder>(state());
    QVERIFY(beside->isClaimed());
    QVERIFY(beside->path() != running.path());
    QVERIFY(!beside->holdsBackup());
    QVERIFY(beside->write(sampleBoard()));
    const QString besidePath = beside->path();
    // That copy crashes: the next start offers its backup, not the running copy's.
    beside.reset();
    RecoveryFolder next(state());
    QCOMPARE(next.path(), besidePath);
    QVERIFY(next.holdsBackup());
    // A normal end removes the folder.
    next.remove();
    QVERIFY(!QFileInfo::exists(besidePath));
}

void RecoveryFolderTest::refusedBackupIsKeptAsideUntilTheNext()
{
    const QString old = state() + QStringLiteral("recovery.old/");
    for (quint32 refusal = 1; refusal <= 2; ++refusal) {
        BoardSnapshot board = sampleBoard();
        board.currentImage = pageOf(SamplePages::Kind::Photo, refusal);
        {
            RecoveryFolder folder(state());
            QVERIFY(folder.write(board));
        }
        RecoveryFolder left(state());
        QVERIFY(left.holdsBackup());
        left.moveAside();
        // This run goes on with an empty folder of its own.
        QVERIFY(left.isClaimed());
        QVERIFY(!left.holdsBackup());
        QVERIFY(left.write(sampleBoard()));
        left.remove();
        // The refused backup is kept whole, the older one replaced.
        QVERIFY(QFile::exists(old + QStringLiteral("board")));
        QFile page(old + QStringLiteral("page-2.1"));
        QVERIFY(page.open(QIODevice::ReadOnly));
        QCOMPARE(CompactPage::fromBytes(page.readAll(), screen)->toImage(), board.currentImage);
    }
}

QTEST_GUILESS_MAIN(RecoveryFolderTest)
#include "RecoveryFolderTest.moc"
