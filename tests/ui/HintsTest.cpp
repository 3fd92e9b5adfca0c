#include "ui/Hints.h"

#include <QApplication>
#include <QToolTip>
#include <QWindow>
#include <QtTest>

// Hints shown over a window let presses through to it.
class HintsTest : public QObject {
    Q_OBJECT
private slots:
    void hintWindowsLetPressesThrough();
};

void HintsTest::hintWindowsLetPressesThrough()
{
    Hints::install(*qApp);
    QWidget page;
    page.setGeometry(0, 0, 400, 300);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QToolTip::showText(QPoint(100, 100), QStringLiteral("右翻页"), &page);
    QWidget* hint = nullptr;
    QTRY_VERIFY((hint = [] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->windowType() == Qt::ToolTip && window->isVisible())
                return window;
        return static_cast<QWidget*>(nullptr);
    }()));
    QVERIFY(hint->testAttribute(Qt::WA_TransparentForMouseEvents));
    QVERIFY(hint->windowHandle()->flags() & Qt::WindowTransparentForInput);
    QCOMPARE(QToolTip::font().pixelSize(), 20);
}

QTEST_MAIN(HintsTest)
#include "HintsTest.moc"
