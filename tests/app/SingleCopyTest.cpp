#include "platform/real/Platform.h"

#include <QGuiApplication>
#include <QProcess>
#include <QtTest>

// Two real copies of the program on one X display: the second sees the first one's application
// window and ends by itself, without a message; the first goes on.
class SingleCopyTest : public QObject {
    Q_OBJECT
private slots:
    void secondCopyEndsByItself();

private:
    int applicationWindows(Desktop& desktop) const;
};

int SingleCopyTest::applicationWindows(Desktop& desktop) const
{
    int count = 0;
    for (const TopLevelWindow& window : desktop.topLevelWindows())
        count += window.caption == QLatin1String("Z_Kalto");
    return count;
}

void SingleCopyTest::secondCopyEndsByItself()
{
    Platform platform = Platform::forThisDesktop(QStringLiteral(ZKALTO_PROGRAM_DIR));
    const QString program = QStringLiteral(ZKALTO_PROGRAM_DIR "/zkalto");
    QCOMPARE(applicationWindows(*platform.desktop), 0);

    QProcess first;
    first.setWorkingDirectory(QStringLiteral(ZKALTO_PROGRAM_DIR));
    first.start(program, {});
    QVERIFY(first.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(applicationWindows(*platform.desktop), 1, 15000);

    QProcess second;
    second.setWorkingDirectory(QStringLiteral(ZKALTO_PROGRAM_DIR));
    second.start(program, {});
    QVERIFY(second.waitForFinished(15000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(second.readAllStandardOutput(), QByteArray());

    QCOMPARE(first.state(), QProcess::Running);
    QCOMPARE(applicationWindows(*platform.desktop), 1);
    first.terminate();
    QVERIFY(first.waitForFinished(5000));
}

QTEST_MAIN(SingleCopyTest)
#include "SingleCopyTest.moc"
