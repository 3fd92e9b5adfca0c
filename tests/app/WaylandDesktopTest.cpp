#include "DisplayProbe.h"
#include "SwaySession.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QtTest>

// The program on a Wayland session as classrooms have them (SwaySession: sway with a laptop
// output and a projector output, XWayland, PipeWire and the desktop portal). First the session
// itself is proved: grim and the portal show each output's background. Then the program runs on
// XWayland as the session's user: the test presses through XWayland (xdotool), reads the
// program's X windows through a connection of its own to XWayland, where sway shows them (its
// tree) and what the outputs show (grim).
class WaylandDesktopTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void desktopShowsTheBackgrounds_data();
    void desktopShowsTheBackgrounds();
    void boardCoversTheBoardScreen_data();
    void boardCoversTheBoardScreen();
    void snapshotShowsTheWaylandDesktop_data();
    void snapshotShowsTheWaylandDesktop();
    void boardMovesWhenItsOutputGoes();
    void programMovesToTheChosenOutputWhenItComes();
    void guideShowsAndTakesTheWheel();

private:
    void startProgram(const QStringList& arguments, const SwaySession::Output& screen);
    // The toolbar, an X window of its own that sway does not manage, comes to its place at the
    // top of `screen`: XWayland shows it there.
    void findToolbarOn(const QRect& screen);
    // Where sway shows the program's views once they are `area` alone, or at the deadline.
    QList<QRect> viewsOnceOn(const QRect& area) const;
    // The one colour, other than its background, that an output shows all over below the top 40
    // rows (the board's strip), as the board's page does when it covers the output; invalid when
    // it shows no such colour.
    QColor coveringColour(const SwaySession::Output& output) const;

    SwaySession m_session;
    std::unique_ptr<DisplayProbe> m_probe;
    QString m_programDirectory;
    QProcess* m_program = nullptr;
    // Each run of the program writes a log of its own.
    QString m_programLog;
    int m_programRuns = 0;
    QRect m_toolbar;
};

namespace {

const SwaySession::Output& laptop()
{
    return SwaySession::outputs().at(0);
}

const SwaySession::Output& projector()
{
    return SwaySession::outputs().at(1);
}

// Each look at the session runs a program (grim, swaymsg): waits are bounded by the clock.
constexpr int deadlineMs = 30000;

// The toolbar stands at the top of its screen, 436 pixels left of the screen's right edge; its
// first button opens the board, its third one "标注". On a 1024 x 768 screen it is at 588, 0.

constexpr QSize toolbarSize(343, 39);
constexpr int toolbarRightOffset = 436;
constexpr QPoint boardButton(19, 20);
constexpr QPoint overlayButton(38 + 19, 20);
constexpr QPoint helpButton(229 + 19, 20);
// The guide (792 x 516) in the middle of its screen, its page 46 rows down, 791 x 389, and the
// page's background.
constexpr QSize guideSize(792, 516);
const QColor guideBackground(0xff, 0xfd, 0xf7);

QRect toolbarHome(const QRect& screen)
{
    return QRect(QPoint(screen.right() + 1 - toolbarRightOffset, screen.top()), toolbarSize);
}

// What a look gives once it gives `expected`, or at the deadline.
template <typename Look> auto settled(Look look, const decltype(look())& expected)
{
    decltype(look()) seen;
    // The comparison after it tells what was seen last when the deadline passed.
    static_cast<void>(QTest::qWaitFor([&] { return (seen = look()) == expected; }, deadlineMs));
    return seen;
}

// Places spread over a rectangle: its corners and its middle.
QList<QPoint> placesIn(const QRect& area)
{
    const QRect inside = area.adjusted(2, 2, -3, -3);
    return {inside.topLeft(), inside.topRight(), inside.bottomLeft(), inside.bottomRight(),
            inside.center()};
}

} // namespace

void WaylandDesktopTest::initTestCase()
{
    if (const QString missing = SwaySession::missingProgram(); !missing.isEmpty())
        QSKIP(qPrintable(
            QStringLiteral("no Wayland test desktop here: %1 is not installed").arg(missing)));
    QVERIFY2(m_session.start(), qPrintable(m_session.error()));
    m_probe = std::make_unique<DisplayProbe>(m_session.x11Display().toLocal8Bit());
    QVERIFY2(m_probe->isOpen(), "XWayland cannot be reached through X");
    // The program directory as the session's user can read it.
    m_programDirectory = m_session.userFolder(QStringLiteral("program"));
    QVERIFY(QDir().mkpath(m_programDirectory));
    QVERIFY(m_session.copyForUser(QStringLiteral(ZKALTO_PROGRAM_DIR), m_programDirectory));
}

void WaylandDesktopTest::cleanupTestCase()
{
    m_probe.reset();
    m_session.stop();
}

void WaylandDesktopTest::cleanup()
{
    if (m_program && m_program->state() != QProcess::NotRunning) {
        m_program->terminate();
        QVERIFY(m_program->waitForFinished(30000));
    }
    m_program = nullptr;
    QVERIFY(m_session.swayCommand(QStringLiteral("focus output ") + laptop().name));
    if (QTest::currentTestFailed())
        qWarning("%s", qPrintable(m_session.log(m_programLog)));
}

QColor WaylandDesktopTest::coveringColour(const SwaySession::Output& output) const
{
    const QImage shown = m_session.grim(output.name);
    if (shown.size() != output.geometry.size())
        return {};
    const QList<QPoint> places =
        placesIn(QRect(QPoint(), output.geometry.size()).adjusted(0, 40, 0, 0));
    const QColor colour = shown.pixelColor(places.first());
    for (const QPoint place : places) {
        if (shown.pixelColor(place) != colour)
            return {};
    }
    return colour == output.background ? QColor() : colour;
}

void WaylandDesktopTest::findToolbarOn(const QRect& screen)
{
    m_toolbar = toolbarHome(screen);
    QVERIFY(QTest::qWaitFor(
        [&] {
            return m_probe->windowsOf(m_program->processId())
                .contains(m_probe->windowAt(m_toolbar.center()));
        },
        deadlineMs));
    QCOMPARE(m_probe->geometry(m_probe->windowAt(m_toolbar.center())), m_toolbar);
}

QList<QRect> WaylandDesktopTest::viewsOnceOn(const QRect& area) const
{
    return settled([&] { return m_session.viewsOf(m_program->processId()); }, QList<QRect>{area});
}

void WaylandDesktopTest::startProgram(const QStringList& arguments,
                                      const SwaySession::Output& screen)
{
    m_programLog = QStringLiteral("zkalto-%1.log").arg(++m_programRuns);
    m_program = m_session.startAsUser(m_programDirectory + QStringLiteral("/zkalto"), arguments,
                                      m_programLog, {}, m_programDirectory);
    QVERIFY(m_program->waitForStarted());
    // XWayland shows the toolbar where it is, grim that sway draws it there.
    findToolbarOn(screen.geometry);
    if (QTest::currentTestFailed())
        return;
    const QPoint onToolbar = m_toolbar.center() - screen.geometry.topLeft();
    QVERIFY(QTest::qWaitFor(
        [&] { return m_session.grim(screen.name).pixelColor(onToolbar) != screen.background; },
        deadlineMs));
}

void WaylandDesktopTest::desktopShowsTheBackgrounds_data()
{
    QTest::addColumn<bool>("throughThePortal");
    QTest::newRow("grim") << false;
    QTest::newRow("portal, non-interactive") << true;
}

// The whole layout, both outputs side by side, each in its own colour.
void WaylandDesktopTest::desktopShowsTheBackgrounds()
{
    QFETCH(bool, throughThePortal);
    const QImage desktop = throughThePortal ? m_session.portalScreenshot() : m_session.grim();
    QCOMPARE(desktop.size(), QSize(1024 + 1920, 1080));
    for (const SwaySession::Output& output : SwaySession::outputs()) {
        for (const QPoint place : placesIn(output.geometry))
            QCOMPARE(desktop.pixelColor(place), output.background);
    }
}

void WaylandDesktopTest::boardCoversTheBoardScreen_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("screen");
    QTest::addColumn<int>("focused");
    const QStringList onTheLaptop{QStringLiteral("--screen"), QStringLiteral("XWAYLAND0")};
    const QStringList onTheProjector{QStringLiteral("--screen"), QStringLiteral("XWAYLAND1")};
    // XWayland has no primary output: Qt takes the first, the laptop.
    QTest::newRow("no choice: the laptop") << QStringList() << 0 << 0;
    QTest::newRow("no choice, the projector focused") << QStringList() << 0 << 1;
    QTest::newRow("the laptop chosen") << onTheLaptop << 0 << 0;
    QTest::newRow("the projector chosen and focused") << onTheProjector << 1 << 1;
    QTest::newRow("the projector chosen, the laptop focused") << onTheProjector << 1 << 0;
}

void WaylandDesktopTest::boardCoversTheBoardScreen()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, screen);
    QFETCH(int, focused);
    const SwaySession::Output& boardScreen = SwaySession::outputs().at(screen);
    const SwaySession::Output& other = SwaySession::outputs().at(1 - screen);
    QVERIFY(m_session.swayCommand(QStringLiteral("focus output ") +
                                  SwaySession::outputs().at(focused).name));
    startProgram(arguments, boardScreen);
    if (QTest::currentTestFailed())
        return;

    QVERIFY(m_session.click(m_toolbar.topLeft() + boardButton));
    // sway shows the board full screen on the board screen's output, whichever output has the
    // focus, and nothing of the program on the other one.
    QCOMPARE(viewsOnceOn(boardScreen.geometry), QList<QRect>{boardScreen.geometry});
    QVERIFY(QTest::qWaitFor([&] { return coveringColour(boardScreen).isValid(); }, deadlineMs));
    QCOMPARE(m_session.grim(other.name)
                 .pixelColor(placesIn(other.geometry).last() - other.geometry.topLeft()),
             other.background);
}

void WaylandDesktopTest::snapshotShowsTheWaylandDesktop_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("screen");
    QTest::newRow("laptop") << QStringList() << 0;
    QTest::newRow("projector") << QStringList{"--screen", "XWAYLAND1"} << 1;
}

// "标注" over a desktop the X server does not hold: the overlay shows sway's own background,
// which only the portal gives.
void WaylandDesktopTest::snapshotShowsTheWaylandDesktop()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, screen);
    // The laptop has the focus (every case ends so): the overlay goes to the board screen.
    const SwaySession::Output& output = SwaySession::outputs().at(screen);
    startProgram(arguments, output);
    if (QTest::currentTestFailed())
        return;

    QVERIFY(m_session.click(m_toolbar.topLeft() + overlayButton));
    // The overlay's strip at the top right, and the desktop in the middle where a message box
    // would stand if no picture had come.
    const QPoint strip(output.geometry.width() - 20, 20);
    const QPoint middle = QRect(QPoint(), output.geometry.size()).center();
    const QPoint toolbar = m_toolbar.center() - output.geometry.topLeft();
    QVERIFY(QTest::qWaitFor(
        [&] {
            const QImage shown = m_session.grim(output.name);
            return !shown.isNull() && shown.pixelColor(strip) != output.background &&
                   shown.pixelColor(toolbar) != output.background &&
                   shown.pixelColor(middle) == output.background;
        },
        deadlineMs));
    QVERIFY(QTest::qWaitFor(
        [&] { return m_session.viewsOf(m_program->processId()).contains(output.geometry); },
        deadlineMs));
    QCOMPARE(m_program->state(), QProcess::Running);
    QVERIFY(m_session.log(m_programLog)
                .contains(QStringLiteral("the task-switching keys cannot be blocked there")));
}

// The guide's page is drawn by the web view process into a window inside the program's: XWayland
// shows it on sway's output, and the wheel reaches it.
void WaylandDesktopTest::guideShowsAndTakesTheWheel()
{
    startProgram({}, laptop());
    if (QTest::currentTestFailed())
        return;
    QVERIFY(m_session.click(m_toolbar.topLeft() + helpButton));
    const QRect screen(QPoint(), laptop().geometry.size());
    const QPoint guide =
        screen.center() - QPoint(guideSize.width() / 2, guideSize.height() / 2) + QPoint(1, 1);
    const QRect page(guide + QPoint(0, 46), QSize(791 - 20, 389));
    QImage shown;
    QVERIFY(QTest::qWaitFor(
        [&] {
            shown = m_session.grim(laptop().name);
            return !shown.isNull() &&
                   shown.pixelColor(page.topLeft() + QPoint(6, 200)) == guideBackground;
        },
        deadlineMs));
    const QImage before = shown.copy(page);
    m_probe->click(laptop().geometry.topLeft() + page.center(), 5);
    QVERIFY(QTest::qWaitFor(
        [&] {
            const QImage now = m_session.grim(laptop().name);
            return !now.isNull() && now.copy(page) != before;
        },
        deadlineMs));
    QCOMPARE(m_program->state(), QProcess::Running);
}

// The projector is unplugged while the board is open on it, written on: the board comes to the
// laptop with the writing, and leaving it the teacher finds the toolbar there. sway itself moves
// the board's view off an output that goes, so the writing and the toolbar, which sway does not
// manage, show that the program followed. The session keeps one output from here on.
void WaylandDesktopTest::boardMovesWhenItsOutputGoes()
{
    startProgram({QStringLiteral("--screen"), QStringLiteral("XWAYLAND1")}, projector());
    if (QTest::currentTestFailed())
        return;
    QVERIFY(m_session.click(m_toolbar.topLeft() + boardButton));
    QCOMPARE(viewsOnceOn(projector().geometry), QList<QRect>{projector().geometry});
    QColor board;
    QVERIFY(QTest::qWaitFor([&] { return (board = coveringColour(projector())).isValid(); },
                            deadlineMs));
    // A stroke where the laptop, smaller, still shows the page; clear of the places that
    // coveringColour() looks at.
    const QPoint strokeStart(300, 300);
    const QPoint strokeEnd(400, 380);
    const QPoint onTheStroke = (strokeStart + strokeEnd) / 2;
    m_probe->drag(projector().geometry.topLeft() + strokeStart,
                  projector().geometry.topLeft() + strokeEnd);
    QColor written;
    QVERIFY(QTest::qWaitFor(
        [&] {
            written = m_session.grim(projector().name).pixelColor(onTheStroke);
            return written.isValid() && written != board;
        },
        deadlineMs));

    QVERIFY(m_session.unplugOutput(projector().name));
    QCOMPARE(viewsOnceOn(laptop().geometry), QList<QRect>{laptop().geometry});
    QCOMPARE(settled([&] { return coveringColour(laptop()); }, board), board);
    QCOMPARE(
        settled([&] { return m_session.grim(laptop().name).pixelColor(onTheStroke); }, written),
        written);
    QCOMPARE(m_program->state(), QProcess::Running);

    const QPoint leaveButton(laptop().geometry.right() - 20, laptop().geometry.top() + 20);
    QVERIFY(m_session.click(leaveButton));
    findToolbarOn(laptop().geometry);
}

// A third output plugged in while the board is open, chosen before it came: the program moves
// there. Last of the cases: the session keeps the new output from here on.
void WaylandDesktopTest::programMovesToTheChosenOutputWhenItComes()
{
    const SwaySession::Output& spare = SwaySession::spareOutput();
    // Not there yet: the program starts on the laptop, and the board opens there.
    startProgram({QStringLiteral("--screen"), QStringLiteral("XWAYLAND2")}, laptop());
    if (QTest::currentTestFailed())
        return;
    QVERIFY(m_session.click(m_toolbar.topLeft() + boardButton));
    QCOMPARE(viewsOnceOn(laptop().geometry), QList<QRect>{laptop().geometry});

    // The board goes to the new output; the laptop shows its background again.
    QVERIFY(m_session.plugSpareOutput());
    QCOMPARE(viewsOnceOn(spare.geometry), QList<QRect>{spare.geometry});
    const QPoint onLaptop = laptop().geometry.center();
    QCOMPARE(settled([&] { return m_session.grim(laptop().name).pixelColor(onLaptop); },
                     laptop().background),
             laptop().background);
    // The pages keep the laptop's size: the board shows a page at the top left, black beyond.
    const QPoint onThePage(100, 100);
    const QPoint beyondThePage(laptop().geometry.width() + 100, laptop().geometry.height() + 100);
    QVERIFY(QTest::qWaitFor(
        [&] {
            const QImage shown = m_session.grim(spare.name);
            return shown.pixelColor(beyondThePage) == Qt::black &&
                   shown.pixelColor(onThePage) != spare.background &&
                   shown.pixelColor(onThePage) != Qt::black;
        },
        deadlineMs));

    // Leaving the board, the teacher finds the toolbar on the new output.
    const QPoint leaveButton(spare.geometry.right() - 20, spare.geometry.top() + 20);
    QVERIFY(m_session.click(leaveButton));
    findToolbarOn(spare.geometry);
}

QTEST_GUILESS_MAIN(WaylandDesktopTest)
#include "WaylandDesktopTest.moc"
