// The scan session from the scan button to the board: on SANE's test device (configured in a
// directory of the test's own), with no device, with a SANE that cannot be loaded, and on a fake
// source manager for what the test device cannot do (several pages, a scan held in progress).

#include "SaneTestBackend.h"

#include "acquire/ScanSession.h"
#include "board/model/BoardModel.h"
#include "platform/fakes/FakeScanner.h"
#include "platform/fakes/ScriptedPrompter.h"
#include "platform/real/SaneScanner.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString noDevice = QStringLiteral("未检测到扫描仪和其它视频设备！");
const QString driverError = QStringLiteral("扫描驱动程序出错！");

// A board on a 1024 x 768 screen with a scan session on the given source manager.
struct Session {
    QTemporaryDir directory;
    ScriptedPrompter prompter;
    BoardModel board{QSize(1024, 768), directory.path() + QLatin1Char('/'), prompter};
    ScanSession session;

    explicit Session(Scanner& scanner)
        : session(scanner, board, prompter, directory.path() + QLatin1Char('/'))
    {
        board.makeCurrentPageReady();
    }

    // The scan button, up to the listed sources; false when no list came.
    bool reload()
    {
        QSignalSpy ready(&session, &ScanSession::sourcesReady);
        QSignalSpy busy(&session, &ScanSession::busyChanged);
        session.reload();
        while (session.busy() && busy.wait(10000)) {
        }
        return ready.size() == 1;
    }
    void waitUntilIdle() { QTRY_VERIFY_WITH_TIMEOUT(!session.busy(), 10000); }
    QStringList messages() const
    {
        QStringList texts;
        for (const ScriptedPrompter::Question& question : prompter.questions())
            texts.append(question.text);
        return texts;
    }
};

} // namespace

class ScanSessionTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void testDevicePageLandsOnBoard_data();
    void testDevicePageLandsOnBoard();
    void noDeviceIsReportedAtConfirm();
    void saneThatCannotBeLoaded();
    void lastOfSeveralPagesWinsAndBusyMeanwhile();

private:
    std::unique_ptr<SaneTestBackend> m_backend;
};

void ScanSessionTest::initTestCase()
{
    m_backend = std::make_unique<SaneTestBackend>();
}

void ScanSessionTest::testDevicePageLandsOnBoard_data()
{
    QTest::addColumn<ScanPageMode>("mode");
    QTest::addColumn<QSize>("size");
    // The test device's 80 x 100 mm are 472 x 590 pixels at 150 dpi; s = 1074 / 472.
    QTest::newRow("one page") << ScanPageMode::Single << QSize(1074, 768);
    QTest::newRow("two pages") << ScanPageMode::Double << QSize(1074, 1342);
}

void ScanSessionTest::testDevicePageLandsOnBoard()
{
    QFETCH(ScanPageMode, mode);
    QFETCH(QSize, size);
    QVERIFY(m_backend->configure(true));
    SaneScanner scanner;
    Session scan(scanner);
    QVERIFY(scan.reload());
    QCOMPARE(scan.session.sourceNames(), QStringList{QStringLiteral("frontend-tester")});
    QCOMPARE(scan.session.selectedSource(), 0);
    scan.session.setPageMode(mode);
    QSignalSpy panelClose(&scan.session, &ScanSession::contentPanelCloseRequested);
    scan.session.confirm();
    QCOMPARE(panelClose.size(), 1);
    QVERIFY(scan.session.busy());
    scan.waitUntilIdle();

    const FloatingPicture& picture = scan.board.floatingPicture();
    QVERIFY(picture.isShown());
    QCOMPARE(picture.geometry(), QRect(QPoint(-5, 35), size));
    // The test device scans solid black.
    QCOMPARE(picture.picture().pixelColor(500, 300), QColor(Qt::black));
    QCOMPARE(picture.tag(), mode == ScanPageMode::Double ? 2 : 0);
    QVERIFY(scan.prompter.questions().isEmpty());
}

void ScanSessionTest::noDeviceIsReportedAtConfirm()
{
    QVERIFY(m_backend->configure(false));
    SaneScanner scanner;
    Session scan(scanner);
    QVERIFY(scan.reload());
    QVERIFY(scan.session.sourceNames().isEmpty());
    QCOMPARE(scan.session.selectedSource(), -1);
    QSignalSpy panelClose(&scan.session, &ScanSession::contentPanelCloseRequested);
    scan.session.confirm();
    QCOMPARE(scan.messages(), QStringList{noDevice});
    QCOMPARE(panelClose.size(), 0);
    QVERIFY(!scan.session.busy());
    QVERIFY(!scan.board.floatingPicture().isShown());
}

void ScanSessionTest::saneThatCannotBeLoaded()
{
    SaneScanner scanner(QStringLiteral("zkalto-no-such-library"), 1);
    Session scan(scanner);
    QSignalSpy busy(&scan.session, &ScanSession::busyChanged);
    QVERIFY(!scan.reload());
    QCOMPARE(scan.messages(), QStringList{driverError});
    // Busy while it looked, idle again after.
    QCOMPARE(busy.size(), 2);
    QVERIFY(!scan.session.busy());
}

void ScanSessionTest::lastOfSeveralPagesWinsAndBusyMeanwhile()
{
    FakeScanner scanner;
    scanner.setSources({{QStringLiteral("feeder:1"), QStringLiteral("Feeder One")},
                        {QStringLiteral("camera:2"), QStringLiteral("Camera Two")}});
    QList<QImage> pages;
    for (const int height : {400, 500, 600}) {
        pages.append(QImage(1000, height, QImage::Format_RGB32));
        pages.last().fill(Qt::white);
    }
    scanner.setPages(pages);
    Session scan(scanner);
    QVERIFY(scan.reload());
    QCOMPARE(scan.session.sourceNames(),
             (QStringList{QStringLiteral("Feeder One"), QStringLiteral("Camera Two")}));
    scan.session.selectSource(1);
    scan.session.setPageMode(ScanPageMode::Double);

    scanner.holdAcquisition();
    scan.session.confirm();
    QVERIFY(scan.session.busy());
    // A scan button pressed meanwhile waits for nothing and lists nothing.
    scan.session.reload();
    scanner.releaseAcquisition();
    scan.waitUntilIdle();

    // s = 1074 / 1000: the third page, 600 rows, is 644 rows high.
    QCOMPARE(scan.board.floatingPicture().geometry(), QRect(-5, 35, 1074, 644));
    QCOMPARE(scanner.calls(),
             (QStringList{QStringLiteral("unload"), QStringLiteral("load"),
                          QStringLiteral("sources"), QStringLiteral("acquire camera:2 150")}));
}

QTEST_MAIN(ScanSessionTest)
#include "ScanSessionTest.moc"
