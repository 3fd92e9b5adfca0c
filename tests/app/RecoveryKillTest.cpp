#include "ProgramOnDesktop.h"
#include "ProgramPlaces.h"
#include "board/recovery/BoardBackup.h"
#include "board/recovery/RecoveryFolder.h"

#include <QRandomGenerator>
#include <QtTest>

// The real program killed with SIGKILL at random moments while the teacher writes on several
// pages, again and again. Each start after a kill offers the board back; the test answers yes
// with the keyboard, as a teacher does. After every kill the backup must read whole, each of its
// pages must be a state the board really showed (the test grabs the screen after every stroke
// and page turn), and the restored board must show the backup's pixels.
class RecoveryKillTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();
    void killedWhileWritingLosesNothing_data();
    void killedWhileWritingLosesNothing();

private:
    // What the board shows of its page now.
    QImage shownPage() const;
    std::optional<KeptBoard> readBackup();
    void startFresh();
    void startRestoring(const KeptBoard& kept);
    void stroke(QRandomGenerator& random);
    // A page turn, seen through to the page shown when shown is true.
    void turn(int step, bool shown = true);
    void waitForPage(int n);

    ProgramOnDesktop m_desktop;
    DisplayProbe& m_probe = m_desktop.probe();
    // Every state each page was seen in since the board was last restored (page n at n - 1).
    QList<QList<QImage>> m_states;
    QList<bool> m_writtenOn;
    int m_current = 1;
    int m_restored = 0;
    // Kills that came while a backup was being written: its files there, its index not yet.
    int m_killedWhileWriting = 0;
};

using namespace ProgramPlaces;

namespace {

const QSize screenSize(1024, 768);
// The page below the tool strip and the hints that hang from its buttons.
const QRect pageArea(0, 70, 1024, 698);
constexpr QPoint boardPreviousPageButton(300 + 516 + 15, 20);
constexpr int maxPages = 4;

QString stateDirectory()
{
    return qEnvironmentVariable("XDG_STATE_HOME") + QStringLiteral("/zkalto/");
}

} // namespace

void RecoveryKillTest::initTestCase()
{
    QVERIFY(m_desktop.isReady());
    // The window manager gives the question the keyboard focus, as on a classroom desktop.
    m_desktop.startDesktop(true);
}

void RecoveryKillTest::cleanup()
{
    // A trial that failed before its kill: the next one starts from the backup all the same.
    m_desktop.kill();
}

void RecoveryKillTest::cleanupTestCase()
{
    m_desktop.end();
    qInfo("%d of 20 starts restored a board; %d kills came while a backup was being written",
          m_restored, m_killedWhileWriting);
    // Most kills find a backup to restore: a turn backs up at once, a pause after 2 s.
    QVERIFY2(m_restored >= 10, qPrintable(QStringLiteral("%1 restores").arg(m_restored)));
}

QImage RecoveryKillTest::shownPage() const
{
    return m_probe.grab(pageArea);
}

std::optional<KeptBoard> RecoveryKillTest::readBackup()
{
    // The killed program's lock is gone with it, so the folder is the test's to read.
    RecoveryFolder folder(stateDirectory());
    if (!folder.isClaimed() || !folder.holdsBackup())
        return std::nullopt;
    RecoveryFolder::Reading reading = folder.read(screenSize);
    // A kill at any moment leaves the last backup whole.
    [&] { QVERIFY2(reading.problem.isEmpty(), qPrintable(reading.problem)); }();
    return reading.board;
}

void RecoveryKillTest::startFresh()
{
    m_desktop.startProgram();
    m_desktop.openBoard();
    m_states = {{shownPage()}};
    m_writtenOn = {false};
    m_current = 1;
}

void RecoveryKillTest::startRestoring(const KeptBoard& kept)
{
    m_desktop.startProgram();
    // The question comes in a message box captioned with the program's title; Enter is yes.
    quint64 question = 0;
    QTRY_VERIFY_WITH_TIMEOUT(
        (question = m_probe.windowCaptioned(m_desktop.pid(), QStringLiteral("Z_Kalto"))) != 0,
        20000);
    QTRY_COMPARE_WITH_TIMEOUT(m_probe.focus(), question, 10000);
    m_probe.key(QStringLiteral("Return"));
    QTRY_VERIFY_WITH_TIMEOUT(m_probe.windowCaptioned(m_desktop.pid(), QStringLiteral("白板")) != 0,
                             20000);
    m_states.clear();
    m_writtenOn.clear();
    for (int n = 1; n <= kept.records.size(); ++n) {
        m_states.append({kept.pixels[n - 1].toImage().copy(pageArea)});
        m_writtenOn.append(kept.records[n - 1].state == PageState::WrittenOn);
    }
    m_current = kept.currentPage;
    // The restored board shows the backup's current page, pixel for pixel.
    waitForPage(m_current);
}

void RecoveryKillTest::waitForPage(int n)
{
    const QImage& expected = m_states[n - 1].last();
    QTRY_VERIFY_WITH_TIMEOUT(shownPage() == expected, 20000);
}

void RecoveryKillTest::stroke(QRandomGenerator& random)
{
    const QImage before = m_states[m_current - 1].last();
    // A line across a row where the page shows its background at the middle and the end, so the
    // line's arrival is seen there.
    int y = 0, left = 0, right = 0;
    QPoint middle, end;
    do {
        y = random.bounded(90, 740);
        left = random.bounded(20, 500);
        right = random.bounded(520, 1000);
        middle = QPoint((left + right) / 2, y);
        end = QPoint(right - 3, y);
    } while (before.pixel(middle - pageArea.topLeft()) != before.pixel(5, pageArea.height() - 5) ||
             before.pixel(end - pageArea.topLeft()) != before.pixel(5, pageArea.height() - 5));
    const QColor background = m_probe.pixel(middle);
    m_probe.drag(QPoint(left, y), QPoint(right, y));
    QTRY_VERIFY_WITH_TIMEOUT(m_probe.pixel(middle) != background, 10000);
    // The line is drawn from the press to the middle, then on to the end: with ink at its end
    // the stroke is on the screen whole (the release changes nothing there).
    QTRY_VERIFY_WITH_TIMEOUT(m_probe.pixel(end) != background, 10000);
    const QImage shown = shownPage();
    m_states[m_current - 1].append(shown);
    m_writtenOn[m_current - 1] = true;
}

void RecoveryKillTest::turn(int step, bool shown)
{
    if (step > 0) {
        // A new page follows only a page written on.
        const bool adds = m_current == m_states.size();
        if (adds && (!m_writtenOn[m_current - 1] || m_current == maxPages))
            return;
        m_probe.click(boardNextPageButton);
        if (adds) {
            // A new page is all in the background colour.
            QImage empty(pageArea.size(), QImage::Format_RGB32);
            empty.fill(ProgramOnDesktop::emptyPageColour);
            m_states.append({empty});
            m_writtenOn.append(false);
        }
    } else {
        if (m_current == 1)
            return;
        m_probe.click(boardPreviousPageButton);
    }
    m_current += step;
    if (shown)
        waitForPage(m_current);
}

void RecoveryKillTest::killedWhileWritingLosesNothing_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 trial = 1; trial <= 20; ++trial)
        QTest::addRow("kill %u", trial) << trial;
}

void RecoveryKillTest::killedWhileWritingLosesNothing()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);

    const std::optional<KeptBoard> kept = readBackup();
    if (QTest::currentTestFailed())
        return;
    if (kept) {
        const QStringList files =
            QDir(stateDirectory() + QStringLiteral("recovery"))
                .entryList({QStringLiteral("page-*"), QStringLiteral("*.tmp-*")}, QDir::Files);
        if (files.size() > kept->records.size())
            ++m_killedWhileWriting;
        // Every page of the backup is a state the board showed before the kill.
        QVERIFY(!m_states.isEmpty());
        QVERIFY(kept->records.size() <= m_states.size());
        QVERIFY(kept->currentPage >= 1 && kept->currentPage <= kept->records.size());
        for (int n = 1; n <= kept->records.size(); ++n) {
            QCOMPARE(kept->pixels[n - 1].size(), screenSize);
            QVERIFY2(m_states[n - 1].contains(kept->pixels[n - 1].toImage().copy(pageArea)),
                     qPrintable(QStringLiteral("page %1 is no state the board showed").arg(n)));
        }
        startRestoring(*kept);
        ++m_restored;
    } else {
        // Nothing was ever kept: the first kill came before the first backup.
        QVERIFY(m_restored == 0);
        startFresh();
    }
    if (QTest::currentTestFailed())
        return;

    const int actions = random.bounded(3, 9);
    for (int action = 0; action < actions && !QTest::currentTestFailed(); ++action) {
        const int choice = random.bounded(10);
        if (choice < 6)
            stroke(random);
        else
            turn(choice < 8 ? +1 : -1);
    }
    if (QTest::currentTestFailed())
        return;
    // A random moment: any while the board is still; or in the middle of a backup, right after a
    // page turn or as the pause after the last stroke reaches 2 s: the folder is watched and
    // the program killed at one of the first steps of the writing it sees (a temporary file
    // made, a file renamed into place, the index replaced).
    const int choice = random.bounded(3);
    if (choice == 0) {
        QTest::qWait(random.bounded(2600));
    } else {
        const QDir folder(stateDirectory() + QStringLiteral("recovery"));
        const auto listing = [&] { return folder.entryList(QDir::Files, QDir::Name); };
        QStringList seen = listing();
        if (choice == 1)
            turn(m_current > 1 && random.bounded(2) ? -1 : +1, false);
        else
            stroke(random);
        const int steps = random.bounded(1, 5);
        QDeadlineTimer deadline(BoardBackup::idleMilliseconds + 5000);
        for (int step = 0; step < steps && !deadline.hasExpired();) {
            if (const QStringList now = listing(); now != seen) {
                seen = now;
                ++step;
            }
        }
    }
    if (QTest::currentTestFailed())
        return;
    m_desktop.kill();
}

QTEST_MAIN(RecoveryKillTest)
#include "RecoveryKillTest.moc"
