// The screen shade opened from the toolbar and from the board, and closed every way it can be.

#include "ProgramFixture.h"

#include "aids/window/ShadeWindow.h"
#include "app/ToolbarWindow.h"
#include "board/window/BoardWindow.h"

#include <QTimer>
#include <QToolButton>
#include <QtTest>

class ShadeWindowTest : public QObject {
    Q_OBJECT
private slots:
    void opensAndCloses_data();
    void opensAndCloses();
};

void ShadeWindowTest::opensAndCloses_data()
{
    QTest::addColumn<QString>("opener");
    QTest::addColumn<QString>("closing");
    for (const char* opener : {"toolbar", "board"}) {
        for (const char* closing : {"left press", "right press", "corner button"}) {
            QTest::addRow("%s, %s", opener, closing)
                << QString::fromLatin1(opener) << QString::fromLatin1(closing);
        }
    }
}

void ShadeWindowTest::opensAndCloses()
{
    QFETCH(QString, opener);
    QFETCH(QString, closing);
    ProgramFixture fixture;
    fixture.start();
    ToolbarWindow* toolbar = fixture.windows().toolbar;
    BoardWindow* board = fixture.windows().board;
    ShadeWindow* shade = fixture.windows().shade;
    toolbar->show();
    if (opener == QLatin1String("toolbar")) {
        QTest::mouseClick(toolbar->SpeedButton10, Qt::LeftButton);
        // The toolbar leaves the always-on-top layer, so the shade covers it.
        QVERIFY(!fixture.desktop->keptOnTopCalls().last().onTop);
    } else {
        QTest::mouseClick(toolbar->SpeedButton4, Qt::LeftButton);
        QTest::mouseClick(board->SpeedButton2, Qt::LeftButton);
        QVERIFY(board->isVisible());
    }
    QVERIFY(!toolbar->Timer1->isActive());
    QVERIFY(shade->isVisible());
    QCOMPARE(shade->geometry(), QRect(0, 0, 1024, 768));
    QCOMPARE(shade->palette().color(QPalette::Window), QColor(Qt::black));
    QCOMPARE(shade->SpeedButton1->geometry(), QRect(1024 - 33, 0, 33, 33));
    QVERIFY(shade->SpeedButton1->isVisible());
    QVERIFY(shade->SpeedButton1->toolTip().isEmpty());
    QVERIFY(shade->SpeedButton1->text().isEmpty());
    QVERIFY(!shade->SpeedButton1->icon().isNull());
    // The pointer lands at the right edge, just below the corner button.
    QCOMPARE(fixture.desktop->pointerMoves().last(), QPoint(1024, 50));

    const int keptOnTopBefore = fixture.desktop->keptOnTopCalls().size();
    if (closing == QLatin1String("corner button"))
        QTest::mouseClick(shade->SpeedButton1, Qt::LeftButton);
    else
        QTest::mousePress(shade,
                          closing == QLatin1String("left press") ? Qt::LeftButton : Qt::RightButton,
                          {}, QPoint(300, 300));
    QVERIFY(!shade->isVisible());
    QVERIFY(toolbar->Timer1->isActive());
    QCOMPARE(board->isVisible(), opener == QLatin1String("board"));
    QCOMPARE(toolbar->isVisible(), opener == QLatin1String("toolbar"));
    // Within one tick of its timer the toolbar is back in the always-on-top layer.
    QTRY_VERIFY_WITH_TIMEOUT(fixture.desktop->keptOnTopCalls().size() > keptOnTopBefore, 1500);
    QVERIFY(fixture.desktop->keptOnTopCalls().last().onTop);
}

QTEST_MAIN(ShadeWindowTest)
#include "ShadeWindowTest.moc"
