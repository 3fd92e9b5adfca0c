#include "ProgramOnDesktop.h"
#include "ProgramPlaces.h"

#include <QtTest>

// The program on a desktop: the program itself runs as a process on the test's X display, with
// openbox and the tint2 panel started here, or with no window manager (and then no panel, which
// needs one). The test presses as a user does and reads what the screen shows.
class DesktopTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void toolbarStaysAboveFullScreenWindows_data();
    void toolbarStaysAboveFullScreenWindows();
    void shadeCoversAllAndClosesOnAnyPress_data();
    void shadeCoversAllAndClosesOnAnyPress();
    void boardCoversThePanelAroundADialog_data();
    void boardCoversThePanelAroundADialog();
    void pictureWindowsStandOverTheBoard_data();
    void pictureWindowsStandOverTheBoard();
    void pressOnAHintDraws_data();
    void pressOnAHintDraws();

private:
    void showOtherWindow(bool overrideRedirect, bool fullScreenState);

    ProgramOnDesktop m_desktop;
    DisplayProbe& m_probe = m_desktop.probe();
    QList<xcb_window_t> m_otherWindows;
};

using namespace ProgramPlaces;

namespace {

constexpr QPoint panelPlace = ProgramOnDesktop::panelPlace;
const QColor& panelColour = ProgramOnDesktop::panelColour;
const QColor& emptyPage = ProgramOnDesktop::emptyPageColour;
const QColor otherColour(Qt::red);

} // namespace

void DesktopTest::initTestCase()
{
    QVERIFY(m_desktop.isReady());
    QCOMPARE(m_probe.geometry(m_probe.desktop().root()), QRect(0, 0, 1024, 768));
}

void DesktopTest::cleanup()
{
    m_desktop.end();
    for (const xcb_window_t window : std::as_const(m_otherWindows))
        xcb_destroy_window(m_probe.connection(), window);
    m_otherWindows.clear();
    xcb_flush(m_probe.connection());
}

// Another program's window over the whole screen.
void DesktopTest::showOtherWindow(bool overrideRedirect, bool fullScreenState)
{
    xcb_connection_t* connection = m_probe.connection();
    const xcb_window_t window = xcb_generate_id(connection);
    const uint32_t values[] = {0xff0000, overrideRedirect ? 1u : 0u};
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, m_probe.desktop().root(), 0, 0,
                      1024, 768, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
    if (fullScreenState) {
        const xcb_atom_t state = m_probe.atom("_NET_WM_STATE_FULLSCREEN");
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window,
                            m_probe.atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 32, 1, &state);
    }
    xcb_map_window(connection, window);
    xcb_flush(connection);
    m_otherWindows.append(window);
    QTRY_COMPARE(m_probe.pixel(screenMiddle), otherColour);
}

void DesktopTest::toolbarStaysAboveFullScreenWindows_data()
{
    QTest::addColumn<bool>("windowManager");
    QTest::addColumn<bool>("overrideRedirect");
    QTest::newRow("openbox: active full-screen program") << true << false;
    QTest::newRow("openbox: full-screen window beside the window manager") << true << true;
    QTest::newRow("no window manager") << false << false;
}

void DesktopTest::toolbarStaysAboveFullScreenWindows()
{
    QFETCH(bool, windowManager);
    QFETCH(bool, overrideRedirect);
    m_desktop.startDesktop(windowManager);
    m_desktop.startProgram();
    showOtherWindow(overrideRedirect, windowManager && !overrideRedirect);
    // The other program is the active full-screen window: it covers the panel too.
    if (m_desktop.hasPanel())
        QTRY_COMPARE(m_probe.pixel(panelPlace), otherColour);

    // Within a few ticks of the placement timer (1000 ms), with room for a loaded machine.
    QTRY_COMPARE_WITH_TIMEOUT(m_probe.windowAt(toolbarPlace), m_desktop.toolbar(), 5000);
    // A press there reaches the toolbar, not the program beneath.
    m_probe.click(toolbarBoardButton);
    QTRY_VERIFY(m_probe.windowCaptioned(m_desktop.pid(), QStringLiteral("白板")) != 0);
}

void DesktopTest::shadeCoversAllAndClosesOnAnyPress_data()
{
    QTest::addColumn<bool>("windowManager");
    QTest::addColumn<bool>("fromBoard");
    QTest::newRow("openbox: shade from the board") << true << true;
    QTest::newRow("openbox: shade from the toolbar") << true << false;
    QTest::newRow("no window manager: shade from the board") << false << true;
    QTest::newRow("no window manager: shade from the toolbar") << false << false;
}

void DesktopTest::shadeCoversAllAndClosesOnAnyPress()
{
    QFETCH(bool, windowManager);
    QFETCH(bool, fromBoard);
    m_desktop.startDesktop(windowManager);
    m_desktop.startProgram();
    if (fromBoard) {
        m_desktop.openBoard();
        // Writing first, as a teacher does: the board is the window last pressed on.
        m_probe.drag(QPoint(300, 300), QPoint(400, 380));
    }
    m_probe.click(fromBoard ? boardShadeButton : toolbarShadeButton);

    // Generous: on a loaded machine the shade may take seconds to come up and be drawn.
    const QColor black(Qt::black);
    for (const QPoint point : {QPoint(10, 10), toolbarPlace, screenMiddle, panelPlace})
        QTRY_COMPARE_WITH_TIMEOUT(m_probe.pixel(point), black, 20000);
    const quint64 shade = m_desktop.programWindowAt(screenMiddle);
    QVERIFY(shade != 0 && shade != m_desktop.board());

    // Any button closes it; what it covered shows again, above the panel as before.
    m_probe.click(QPoint(400, 300), 3);
    if (fromBoard) {
        QTRY_COMPARE_WITH_TIMEOUT(m_desktop.programWindowAt(screenMiddle), m_desktop.board(),
                                  20000);
        QTRY_COMPARE_WITH_TIMEOUT(m_probe.pixel(screenMiddle), emptyPage, 20000);
        if (m_desktop.hasPanel())
            QTRY_COMPARE_WITH_TIMEOUT(m_probe.pixel(panelPlace), emptyPage, 20000);
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(m_probe.windowAt(toolbarPlace), m_desktop.toolbar(), 5000);
        QCOMPARE(m_desktop.programWindowAt(screenMiddle), quint64(0));
    }
}

void DesktopTest::boardCoversThePanelAroundADialog_data()
{
    QTest::addColumn<bool>("windowManager");
    QTest::newRow("openbox") << true;
    QTest::newRow("no window manager") << false;
}

void DesktopTest::boardCoversThePanelAroundADialog()
{
    QFETCH(bool, windowManager);
    m_desktop.startDesktop(windowManager);
    m_desktop.startProgram();
    m_desktop.openBoard();
    m_probe.click(boardStrokeColourButton);
    const qint64 pid = m_desktop.pid();
    QTRY_COMPARE_WITH_TIMEOUT(m_probe.windowsOf(pid).size(), 2, 10000);
    const quint64 dialog = m_probe.windowsOf(pid).constFirst();
    QVERIFY(dialog != m_desktop.board());

    // While the dialog is open: no window of the program on the taskbar or the pager, and the
    // board still over the panel.
    for (const quint64 window : m_probe.windowsOf(pid)) {
        const QList<xcb_atom_t> state = m_probe.atoms(window, "_NET_WM_STATE");
        QVERIFY(state.contains(m_probe.atom("_NET_WM_STATE_SKIP_TASKBAR")));
        QVERIFY(state.contains(m_probe.atom("_NET_WM_STATE_SKIP_PAGER")));
    }
    if (m_desktop.hasPanel())
        QTRY_COMPARE(m_probe.pixel(panelPlace), emptyPage);

    m_probe.desktop().requestClose(dialog);
    QTRY_COMPARE(m_probe.windowsOf(pid), QList<quint64>{m_desktop.board()});
    QTRY_COMPARE(m_desktop.programWindowAt(screenMiddle), m_desktop.board());
    if (m_desktop.hasPanel())
        QTRY_COMPARE(m_probe.pixel(panelPlace), emptyPage);
}

void DesktopTest::pictureWindowsStandOverTheBoard_data()
{
    QTest::addColumn<bool>("windowManager");
    QTest::newRow("openbox") << true;
    QTest::newRow("no window manager") << false;
}

// The palette's settings button window stands under the column over the full-screen board, and
// the picture import window it opens over both.
void DesktopTest::pictureWindowsStandOverTheBoard()
{
    QFETCH(bool, windowManager);
    m_desktop.startDesktop(windowManager);
    m_desktop.startProgram();
    m_desktop.openBoard();
    m_probe.click(boardContentPanelButton);
    m_probe.click(panelPaletteButton);
    m_probe.click(paletteOtherTab);
    const qint64 pid = m_desktop.pid();
    QTRY_VERIFY_WITH_TIMEOUT(m_desktop.programWindowAt(settingsButtonPlace) != 0 &&
                                 m_desktop.programWindowAt(settingsButtonPlace) !=
                                     m_desktop.board(),
                             10000);
    const quint64 settingsButton = m_desktop.programWindowAt(settingsButtonPlace);
    QCOMPARE(m_probe.geometry(settingsButton), QRect(3, 725, 130, 48));

    m_probe.click(settingsButtonButton);
    QTRY_VERIFY_WITH_TIMEOUT(m_probe.windowCaptioned(pid, QStringLiteral("导入图片")) != 0, 10000);
    const quint64 import = m_probe.windowCaptioned(pid, QStringLiteral("导入图片"));
    QTRY_COMPARE(m_desktop.programWindowAt(screenMiddle), import);
    QCOMPARE(m_desktop.programWindowAt(settingsButtonPlace), settingsButton);
}

void DesktopTest::pressOnAHintDraws_data()
{
    QTest::addColumn<bool>("windowManager");
    QTest::newRow("openbox") << true;
    QTest::newRow("no window manager") << false;
}

void DesktopTest::pressOnAHintDraws()
{
    QFETCH(bool, windowManager);
    m_desktop.startDesktop(windowManager);
    m_desktop.startProgram();
    m_desktop.openBoard();
    m_probe.move(boardNextPageButton);
    QTRY_VERIFY_WITH_TIMEOUT(m_desktop.programWindowAt(onNextPageHint) != 0 &&
                                 m_desktop.programWindowAt(onNextPageHint) != m_desktop.board(),
                             10000);

    // A stroke begun on the hint: the press reaches the page under it.
    m_probe.drag(onNextPageHint, onNextPageHint + QPoint(0, 110));
    QTRY_VERIFY_WITH_TIMEOUT(m_probe.pixel(onNextPageHint + QPoint(0, 60)) != emptyPage, 5000);
}

QTEST_GUILESS_MAIN(DesktopTest)
#include "DesktopTest.moc"
