// Off X11 (here the offscreen platform, 1024 x 768) the program gets the Qt-only services.

#include "platform/real/QtDesktop.h"
#include "platform/real/DirectoryRegistry.h"
#include "platform/real/NoTaskKeys.h"
#include "platform/real/Platform.h"
#include "platform/real/ProcessLauncher.h"
#include "platform/real/QtPrompter.h"

#include <QCursor>
#include <QScreen>
#include <QWindow>
#include <QtTest>

class QtDesktopTest : public QObject {
    Q_OBJECT

private slots:
    void picksQtServicesOffX11();
    void knowsNoOtherWindows();
    void screenComesFromQt();
    void keptOnTopIsWindowFlag();
};

void QtDesktopTest::picksQtServicesOffX11()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    const Platform platform = Platform::forThisDesktop(QCoreApplication::applicationDirPath());
    QVERIFY(dynamic_cast<QtDesktop*>(platform.desktop.get()));
    QVERIFY(dynamic_cast<NoTaskKeys*>(platform.taskKeys.get()));
    QVERIFY(dynamic_cast<DirectoryRegistry*>(platform.registry.get()));
    QVERIFY(dynamic_cast<ProcessLauncher*>(platform.launcher.get()));
    QVERIFY(dynamic_cast<QtPrompter*>(platform.prompter.get()));
    QCOMPARE(platform.taskKeys->disableTaskKeys(1, 23), 0);
}

// The single-copy walk sees no window at all, not even the program's own, so a program started
// here always counts as the only copy.
void QtDesktopTest::knowsNoOtherWindows()
{
    QWindow hidden;
    hidden.setTitle(QStringLiteral("Z_Kalto"));
    hidden.create();
    QWindow shown;
    shown.setGeometry(0, 0, 200, 200);
    shown.show();
    QtDesktop desktop;
    QVERIFY(desktop.topLevelWindows().isEmpty());
    QCOMPARE(desktop.windowAt(QPoint(100, 100)), quint64(0));
}

void QtDesktopTest::screenComesFromQt()
{
    QtDesktop desktop;
    const int depth = QGuiApplication::primaryScreen()->depth();
    QCOMPARE(desktop.colourDepth(), depth);
    QVERIFY(!desktop.switchColourDepth(24));
    QCOMPARE(desktop.colourDepth(), depth);
    QWindow toolbar;
    toolbar.setGeometry(588, 0, 343, 40);
    toolbar.show();
    QCOMPARE(desktop.grabScreenWithout(&toolbar).size(), QSize(1024, 768));
    QVERIFY(!toolbar.isVisible());
    desktop.movePointer(QPoint(1024, 50));
    QCOMPARE(QCursor::pos(), QPoint(1024, 50));
}

void QtDesktopTest::keptOnTopIsWindowFlag()
{
    QWindow toolbar;
    toolbar.setGeometry(588, 0, 343, 40);
    toolbar.show();
    QtDesktop desktop;
    desktop.setKeptOnTop(&toolbar, true);
    QVERIFY(toolbar.flags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(toolbar.isVisible());
    desktop.setKeptOnTop(&toolbar, false);
    QVERIFY(!toolbar.flags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(toolbar.geometry(), QRect(588, 0, 343, 40));
}

QTEST_MAIN(QtDesktopTest)
#include "QtDesktopTest.moc"
