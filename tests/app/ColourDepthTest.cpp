#include "platform/real/X11Desktop.h"

#include <QProcess>
#include <QtTest>

#include <xcb/xcb.h>

// The program on a 16-bit X display of its own: it asks to raise the colour depth once, an X
// server cannot switch, and after the answer No the program runs as usual at 16 bits.
class ColourDepthTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void sixteenBitDisplayAsksOnceAndRuns();

private:
    quint64 windowCaptioned(const QString& caption) const;
    int captionCount(const QString& caption) const;

    QProcess m_server;
    QByteArray m_display;
    xcb_connection_t* m_connection = nullptr;
    std::unique_ptr<X11Desktop> m_desktop;
};

void ColourDepthTest::initTestCase()
{
    // The server writes the display number it found free.
    m_server.start(QStringLiteral("Xvfb"),
                   {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x16"});
    QVERIFY(m_server.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(m_server.canReadLine(), 10000);
    m_display = ":" + m_server.readLine().trimmed();
    int screen = 0;
    m_connection = xcb_connect(m_display.constData(), &screen);
    QVERIFY(!xcb_connection_has_error(m_connection));
    m_desktop = std::make_unique<X11Desktop>(m_connection, screen);
    QCOMPARE(m_desktop->colourDepth(), 16);
}

void ColourDepthTest::cleanupTestCase()
{
    m_desktop.reset();
    if (m_connection)
        xcb_disconnect(m_connection);
    m_server.terminate();
    m_server.waitForFinished(5000);
}

quint64 ColourDepthTest::windowCaptioned(const QString& caption) const
{
    for (const TopLevelWindow& window : m_desktop->topLevelWindows())
        if (window.caption == caption)
            return window.id;
    return 0;
}

int ColourDepthTest::captionCount(const QString& caption) const
{
    int count = 0;
    for (const TopLevelWindow& window : m_desktop->topLevelWindows())
        count += window.caption == caption;
    return count;
}

void ColourDepthTest::sixteenBitDisplayAsksOnceAndRuns()
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(m_display));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(QStringLiteral(ZKALTO_PROGRAM_DIR));
    program.start(QStringLiteral(ZKALTO_PROGRAM_DIR "/zkalto"), {});
    QVERIFY(program.waitForStarted());

    QTRY_VERIFY_WITH_TIMEOUT(windowCaptioned(QStringLiteral("提示信息")) != 0, 15000);
    QCOMPARE(captionCount(QStringLiteral("提示信息")), 1);
    // Closing the question answers No.
    m_desktop->requestClose(windowCaptioned(QStringLiteral("提示信息")));
    xcb_flush(m_connection);

    QTRY_COMPARE_WITH_TIMEOUT(captionCount(QStringLiteral("提示信息")), 0, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(captionCount(QStringLiteral("zkalto")) >= 1, true, 10000);
    QCOMPARE(program.state(), QProcess::Running);
    QCOMPARE(m_desktop->colourDepth(), 16);
    QCOMPARE(captionCount(QStringLiteral("提示信息")), 0);

    program.terminate();
    QVERIFY(program.waitForFinished(5000));
}

QTEST_MAIN(ColourDepthTest)
#include "ColourDepthTest.moc"
