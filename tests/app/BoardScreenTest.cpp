#include "ProgramFixture.h"

#include "aids/window/ShadeWindow.h"
#include "app/BoardScreenChoice.h"
#include "app/ScreenKeeper.h"
#include "app/ScreenMove.h"
#include "app/ToolbarWindow.h"
#include "board/model/BoardModel.h"
#include "board/window/BoardWindow.h"
#include "lessons/window/SettingsWindow.h"
#include "platform/fakes/FakeCompositorOutputs.h"

#include <QFile>
#include <QScreen>
#include <QToolButton>
#include <QtTest>

// The board screen on a laptop (1024 x 768 at 0, 0, primary) with a projector (1920 x 1080 to
// its right).
class BoardScreenTest : public QObject {
    Q_OBJECT
private slots:
    void choice_data();
    void choice();
    void everyWindowShowsOnTheBoardScreen_data();
    void everyWindowShowsOnTheBoardScreen();
    void windowsMoveWithTheScreen_data();
    void windowsMoveWithTheScreen();
};

namespace {

const QRect laptop(0, 0, 1024, 768);
const QRect projector(1024, 0, 1920, 1080);

void writeConfiguration(const QString& directory, const QByteArray& text)
{
    QVERIFY(QDir().mkpath(directory + QStringLiteral("/zkalto")));
    QFile file(directory + QStringLiteral("/zkalto/zkalto.conf"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

} // namespace

void BoardScreenTest::choice_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("environment");
    QTest::addColumn<QByteArray>("userFile");
    QTest::addColumn<QByteArray>("machineFile");
    QTest::addColumn<QString>("expected");

    const QStringList none{QStringLiteral("zkalto")};
    const QStringList option{QStringLiteral("zkalto"), QStringLiteral("--screen"),
                             QStringLiteral("projector")};
    QTest::newRow("nothing asked")
        << none << QString() << QByteArray() << QByteArray() << QString();
    QTest::newRow("option") << option << QStringLiteral("laptop") << QByteArray("screen=laptop\n")
                            << QByteArray() << "projector";
    QTest::newRow("option with =")
        << QStringList{QStringLiteral("zkalto"), QStringLiteral("--screen=HDMI-1")} << QString()
        << QByteArray() << QByteArray() << "HDMI-1";
    QTest::newRow("option without a name") << QStringList{"zkalto", "--screen"} << QString()
                                           << QByteArray() << QByteArray() << QString();
    QTest::newRow("environment over files")
        << none << QStringLiteral("projector") << QByteArray("screen=laptop\n") << QByteArray()
        << "projector";
    QTest::newRow("user's file over machine's")
        << none << QString() << QByteArray("# the projector\n screen = projector \n")
        << QByteArray("screen=laptop\n") << "projector";
    QTest::newRow("machine's file") << none << QString() << QByteArray("other=1\n")
                                    << QByteArray("screen=laptop\n") << "laptop";
}

void BoardScreenTest::choice()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, environment);
    QFETCH(QByteArray, userFile);
    QFETCH(QByteArray, machineFile);
    QFETCH(QString, expected);

    QTemporaryDir user;
    QTemporaryDir machine;
    qputenv("XDG_CONFIG_HOME", user.path().toUtf8());
    qputenv("XDG_CONFIG_DIRS", machine.path().toUtf8());
    if (!userFile.isEmpty())
        writeConfiguration(user.path(), userFile);
    if (!machineFile.isEmpty())
        writeConfiguration(machine.path(), machineFile);
    if (environment.isEmpty())
        qunsetenv("ZKALTO_SCREEN");
    else
        qputenv("ZKALTO_SCREEN", environment.toUtf8());

    QCOMPARE(BoardScreenChoice::requestedName(arguments), expected);
    qunsetenv("ZKALTO_SCREEN");
}

void BoardScreenTest::everyWindowShowsOnTheBoardScreen_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("area");
    QTest::newRow("projector") << "projector" << projector;
    QTest::newRow("laptop") << "laptop" << laptop;
    QTest::newRow("primary when none is named") << QString() << laptop;
    QTest::newRow("primary for an unknown name") << "DP-7" << laptop;
}

void BoardScreenTest::everyWindowShowsOnTheBoardScreen()
{
    QFETCH(QString, name);
    QFETCH(QRect, area);

    FakeCompositorOutputs outputs;
    ScreenKeeper keeper(name, &outputs);
    QCOMPARE(keeper.screen()->geometry(), area);
    ProgramFixture fixture;
    fixture.start(keeper.screen()->size());
    ToolbarWindow* toolbar = fixture.windows().toolbar;
    BoardWindow* board = fixture.windows().board;
    toolbar->show();
    toolbar->moveHome();
    // Near the top right of the board screen; the program places it, not the compositor.
    QCOMPARE(toolbar->geometry(), QRect(area.right() + 1 - 436, area.top(), 343, 39));
    QCOMPARE(outputs.opened(), QList<QRect>());

    // A window the compositor places opens on the board screen's output.
    QTest::mouseClick(toolbar->SpeedButton4, Qt::LeftButton);
    QVERIFY(board->isVisible());
    QCOMPARE(board->geometry(), area);
    QCOMPARE(board->model().screenSize(), area.size());
    QCOMPARE(outputs.opened(), QList<QRect>{area});

    QTest::mouseClick(board->SpeedButton2, Qt::LeftButton);
    QCOMPARE(fixture.windows().shade->geometry(), area);
    QCOMPARE(fixture.desktop->pointerMoves(),
             QList<QPoint>{area.topLeft() + QPoint(area.width(), 50)});
    QTest::mousePress(fixture.windows().shade, Qt::LeftButton, {}, QPoint(10, 10));

    SettingsWindow* settings = fixture.windows().settings;
    settings->show();
    QCOMPARE(settings->geometry().center(), area.center());
    settings->hide();
}

void BoardScreenTest::windowsMoveWithTheScreen_data()
{
    QTest::addColumn<QRect>("window");
    QTest::addColumn<QRect>("from");
    QTest::addColumn<QRect>("to");
    QTest::addColumn<QRect>("expected");

    const QRect settings(0, 0, 600, 400);
    QTest::newRow("covering: unplugged") << projector << projector << laptop << laptop;
    QTest::newRow("covering: plugged in") << laptop << laptop << projector << projector;
    QTest::newRow("centred") << settings.translated(projector.center() - settings.center())
                             << projector << laptop
                             << settings.translated(laptop.center() - settings.center());
    QTest::newRow("same place on the other screen")
        << QRect(1024 + 100, 50, 343, 39) << projector << laptop << QRect(100, 50, 343, 39);
    QTest::newRow("kept inside the smaller screen")
        << QRect(1024 + 1484, 0, 343, 39) << projector << laptop << QRect(1024 - 343, 0, 343, 39);
    QTest::newRow("larger than the screen: its top-left corner shows")
        << QRect(1024 + 10, 10, 1200, 900) << projector << laptop << QRect(0, 0, 1200, 900);
}

void BoardScreenTest::windowsMoveWithTheScreen()
{
    QFETCH(QRect, window);
    QFETCH(QRect, from);
    QFETCH(QRect, to);
    QFETCH(QRect, expected);
    QCOMPARE(ScreenMove::placeIn(window, from, to), expected);
}

QTEST_MAIN(BoardScreenTest)
#include "BoardScreenTest.moc"
