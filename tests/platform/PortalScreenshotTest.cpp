#include "platform/real/PortalScreenshot.h"
#include "FakePortal.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The desktop portal's screenshot on a session bus of the test's own (dbus-daemon), answered by a
// portal of the test's own on a second connection: a picture, a refusal, no answer, no portal.
class PortalScreenshotTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void answers_data();
    void answers();
    void cutToTheScreen_data();
    void cutToTheScreen();

private:
    QProcess m_bus;
};

void PortalScreenshotTest::initTestCase()
{
    const QByteArray address = startPrivateSessionBus(m_bus);
    QVERIFY2(!address.isEmpty(), "dbus-daemon does not start");
    // Read before the program's first use of the session bus.
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    QVERIFY(QDBusConnection::sessionBus().isConnected());
}

void PortalScreenshotTest::cleanupTestCase()
{
    m_bus.terminate();
    m_bus.waitForFinished(10000);
}

void PortalScreenshotTest::answers_data()
{
    QTest::addColumn<bool>("portalRuns");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("pictureExpected");
    QTest::newRow("picture") << true << int(PortalAnswer::Picture) << true;
    QTest::newRow("a file that is no picture") << true << int(PortalAnswer::NoPicture) << false;
    QTest::newRow("refused") << true << int(PortalAnswer::Refusal) << false;
    QTest::newRow("no answer") << true << int(PortalAnswer::Silence) << false;
    QTest::newRow("no portal") << false << int(PortalAnswer::Picture) << false;
}

void PortalScreenshotTest::answers()
{
    QFETCH(bool, portalRuns);
    QFETCH(int, answer);
    QFETCH(bool, pictureExpected);

    QTemporaryDir directory;
    const QString picturePath = directory.filePath(QStringLiteral("Screenshot.png"));
    QImage desktop(64, 48, QImage::Format_RGB32);
    desktop.fill(QColor(0x30, 0x60, 0x90));
    desktop.setPixelColor(5, 7, Qt::yellow);
    QVERIFY(desktop.save(picturePath));

    const QString connectionName = QStringLiteral("portal %1").arg(QTest::currentDataTag());
    QDBusConnection portalBus = QDBusConnection::connectToBus(
        QString::fromUtf8(qgetenv("DBUS_SESSION_BUS_ADDRESS")), connectionName);
    QVERIFY(portalBus.isConnected());
    FakePortal portal(portalBus, PortalAnswer(answer), picturePath);
    if (portalRuns) {
        QVERIFY(portalBus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal,
                                         QDBusConnection::ExportAllSlots));
        QVERIFY(portalBus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
    }

    constexpr int deadlineMs = 2000;
    QElapsedTimer waited;
    waited.start();
    const QImage picture = PortalScreenshot::take(deadlineMs);
    QCOMPARE(!picture.isNull(), pictureExpected);
    if (pictureExpected) {
        QCOMPARE(picture.size(), desktop.size());
        QCOMPARE(picture.pixelColor(5, 7), QColor(Qt::yellow));
        QCOMPARE(picture.pixelColor(40, 30), QColor(0x30, 0x60, 0x90));
        // The file the portal made for the request is gone.
        QVERIFY(!QFile::exists(picturePath));
        QCOMPARE(portal.lastOptions.value(QStringLiteral("interactive")).toBool(), false);
    }
    // A file the portal made for an answer is removed, a picture or not.
    const bool answered = portalRuns && (PortalAnswer(answer) == PortalAnswer::Picture ||
                                         PortalAnswer(answer) == PortalAnswer::NoPicture);
    QCOMPARE(QFile::exists(picturePath), !answered);
    // A refusal or a missing portal is known at once; only silence waits for the deadline.
    if (PortalAnswer(answer) != PortalAnswer::Silence || !portalRuns)
        QVERIFY(waited.elapsed() < deadlineMs);

    if (portalRuns) {
        portalBus.unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
        portalBus.unregisterObject(QStringLiteral("/org/freedesktop/portal/desktop"));
    }
    QDBusConnection::disconnectFromBus(connectionName);
}

void PortalScreenshotTest::cutToTheScreen_data()
{
    QTest::addColumn<QSize>("pictureSize");
    QTest::addColumn<QRect>("screen");
    // A laptop's screen (1024 x 768 at 0, 0) beside a projector's (1920 x 1080 to its right).
    const QRect laptop(0, 0, 1024, 768);
    const QRect projector(1024, 0, 1920, 1080);
    QTest::newRow("laptop") << QSize(2944, 1080) << laptop;
    QTest::newRow("projector") << QSize(2944, 1080) << projector;
    QTest::newRow("outputs scaled twice") << QSize(5888, 2160) << projector;
}

void PortalScreenshotTest::cutToTheScreen()
{
    QFETCH(QSize, pictureSize);
    QFETCH(QRect, screen);
    const QRect desktop(0, 0, 2944, 1080);
    // Each screen in a colour of its own.
    QImage whole(pictureSize, QImage::Format_RGB32);
    whole.fill(Qt::blue);
    const int laptopWidth = 1024 * pictureSize.width() / desktop.width();
    QPainter(&whole).fillRect(0, 0, laptopWidth, pictureSize.height(), Qt::green);

    const QImage cut = PortalScreenshot::cutToScreen(whole, desktop, screen);
    QCOMPARE(cut.size(), screen.size());
    const QColor expected = screen.left() == 0 ? QColor(Qt::green) : QColor(Qt::blue);
    for (const QPoint corner : {QPoint(2, 2), QPoint(cut.width() - 3, cut.height() - 3)})
        QCOMPARE(cut.pixelColor(corner), expected);
}

QTEST_GUILESS_MAIN(PortalScreenshotTest)
#include "PortalScreenshotTest.moc"
