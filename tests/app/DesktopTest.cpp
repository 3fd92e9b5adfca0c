#include "DisplayProbe.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
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
    void windowsStayOffTheTaskbarAndBelowTheBoard_data();
    void windowsStayOffTheTaskbarAndBelowTheBoard();

private:
    void startDesktop(bool windowManager);
    void startProgram();
    void openBoard();
    void showOtherWindow(bool overrideRedirect, bool fullScreenState);
    quint64 programWindowAt(QPoint point) const;

    std::unique_ptr<DisplayProbe> m_probe;
    QTemporaryDir m_configuration;
    QProcess m_windowManager;
    QProcess m_panel;
    QProcess m_program;
    bool m_hasPanel = false;
    quint64 m_toolbar = 0;
    quint64 m_board = 0;
    QColor m_boardColour;
    QList<xcb_window_t> m_otherWindows;
};

namespace {

// Places on a 1024 x 768 screen: the toolbar at 588, 0; the board's strip right-aligned.
constexpr QPoint toolbarPlace(700, 20);
constexpr QPoint toolbarBoardButton(588 + 19, 20);
constexpr QPoint toolbarShadeButton(588 + 191 + 19, 20);
constexpr QPoint boardStrokeColourButton(300 + 1 + 18, 10);
constexpr QPoint boardShadeButton(300 + 646 + 19, 20);
constexpr QPoint screenMiddle(512, 400);
// "右翻页" on the strip; its hint hangs below it over the page, from (894, 36) to (962, 64).
constexpr QPoint boardNextPageButton(300 + 578 + 14, 20);
constexpr QPoint onNextPageHint(930, 50);
constexpr QPoint panelPlace(512, 760);
// The content panel's button on the strip, the palette's button on the panel's title bar, the
// palette's "其它" tab, and the button "设置" of the settings button window under the palette.
constexpr QPoint boardContentPanelButton(300 + 478 + 18, 30);
constexpr QPoint panelPaletteButton(177 + 10, 41 + 4 + 9);
constexpr QPoint paletteOtherTab(76 + 1 + 18, 40 + 10);
constexpr QPoint settingsButtonPlace(3 + 20, 725 + 35);
constexpr QPoint settingsButtonButton(3 + 92 + 19, 725 + 11);

// "帮助" on the toolbar and "设置" on the board's strip; "确定" of the guide and of the settings
// window from their top-left corners; inside the guide's page, where its background shows.
constexpr QPoint toolbarHelpButton(588 + 229 + 19, 20);
constexpr QPoint boardSettingsButton(300 + 608 + 19, 20);
constexpr QPoint guideOkButton(353 + 40, 484 + 14);
constexpr QPoint settingsOkButton(455 + 42, 321 + 15);
constexpr QPoint guidePage(500, 300);
const QColor guideBackground(0xff, 0xfd, 0xf7);

const QColor panelColour(0x20, 0x40, 0x60);
const QColor otherColour(Qt::red);

// A panel along the bottom, 30 pixels high, above ordinary windows, in one colour.
constexpr char panelConfiguration[] = R"(rounded = 0
border_width = 0
background_color = #204060 100
border_color = #000000 0
panel_items = T
panel_size = 100% 30
panel_position = bottom center horizontal
panel_layer = top
panel_background_id = 1
strut_policy = follow_size
task_background_id = 0
)";

} // namespace

void DesktopTest::initTestCase()
{
    m_probe = std::make_unique<DisplayProbe>(qgetenv("DISPLAY"));
    QVERIFY(m_probe->isOpen());
    QCOMPARE(m_probe->geometry(m_probe->desktop().root()), QRect(0, 0, 1024, 768));
    QFile configuration(m_configuration.filePath(QStringLiteral("tint2rc")));
    QVERIFY(configuration.open(QIODevice::WriteOnly));
    configuration.write(panelConfiguration);
    // The window manager and the panel read their settings from here, not from the user's.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_configuration.path());
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), m_configuration.path());
    m_windowManager.setProcessEnvironment(environment);
    m_panel.setProcessEnvironment(environment);
}

void DesktopTest::cleanup()
{
    for (QProcess* process : {&m_program, &m_panel, &m_windowManager}) {
        if (process->state() != QProcess::NotRunning) {
            process->terminate();
            process->waitForFinished(10000);
        }
    }
    for (const xcb_window_t window : std::as_const(m_otherWindows))
        xcb_destroy_window(m_probe->connection(), window);
    m_otherWindows.clear();
    xcb_flush(m_probe->connection());
    m_hasPanel = false;
    m_toolbar = 0;
    m_board = 0;
}

void DesktopTest::startDesktop(bool windowManager)
{
    if (!windowManager)
        return;
    m_windowManager.start(QStringLiteral("openbox"), {});
    QVERIFY(m_windowManager.waitForStarted());
    // Generous: on a loaded machine the desktop's programs may take long to start.
    QTRY_VERIFY_WITH_TIMEOUT(m_probe->windowManagerRunning(), 30000);
    // Now and then, on a loaded machine, tint2 comes up without ever showing its panel: it is
    // started again, and what it said is shown.
    for (int attempt = 1; attempt <= 3; ++attempt) {
        m_panel.start(QStringLiteral("tint2"), {"-c", m_configuration.filePath("tint2rc")});
        QVERIFY(m_panel.waitForStarted());
        if (QTest::qWaitFor([&] { return m_probe->pixel(panelPlace) == panelColour; }, 15000))
            break;
        qWarning("tint2 showed no panel in attempt %d (%s): %s", attempt,
                 m_panel.state() == QProcess::Running ? "running" : "ended",
                 m_panel.readAllStandardError().constData());
        m_panel.kill();
        m_panel.waitForFinished(10000);
    }
    QCOMPARE(m_probe->pixel(panelPlace), panelColour);
    m_hasPanel = true;
}

quint64 DesktopTest::programWindowAt(QPoint point) const
{
    const quint64 window = m_probe->windowAt(point);
    return m_probe->windowsOf(m_program.processId()).contains(window) ? window : 0;
}

void DesktopTest::startProgram()
{
    m_program.setWorkingDirectory(QStringLiteral(ZKALTO_PROGRAM_DIR));
    m_program.start(QStringLiteral(ZKALTO_PROGRAM_DIR "/zkalto"), {});
    QVERIFY(m_program.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(programWindowAt(toolbarPlace) != 0, 15000);
    m_toolbar = programWindowAt(toolbarPlace);
    QCOMPARE(m_probe->geometry(m_toolbar), QRect(588, 0, 343, 39));
}

void DesktopTest::openBoard()
{
    m_probe->click(toolbarBoardButton);
    QTRY_VERIFY_WITH_TIMEOUT(
        m_probe->windowCaptioned(m_program.processId(), QStringLiteral("白板")) != 0, 10000);
    m_board = m_probe->windowCaptioned(m_program.processId(), QStringLiteral("白板"));
    QTRY_COMPARE(programWindowAt(screenMiddle), m_board);
    m_boardColour = m_probe->pixel(screenMiddle);
    // The board covers the whole screen, the panel included.
    if (m_hasPanel)
        QTRY_COMPARE(m_probe->pixel(panelPlace), m_boardColour);
}

// Another program's window over the whole screen.
void DesktopTest::showOtherWindow(bool overrideRedirect, bool fullScreenState)
{
    xcb_connection_t* connection = m_probe->connection();
    const xcb_window_t window = xcb_generate_id(connection);
    const uint32_t values[] = {0xff0000, overrideRedirect ? 1u : 0u};
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, m_probe->desktop().root(), 0, 0,
                      1024, 768, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
    if (fullScreenState) {
        const xcb_atom_t state = m_probe->atom("_NET_WM_STATE_FULLSCREEN");
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window,
                            m_probe->atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 32, 1, &state);
    }
    xcb_map_window(connection, window);
    xcb_flush(connection);
    m_otherWindows.append(window);
    QTRY_COMPARE(m_probe->pixel(screenMiddle), otherColour);
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
    startDesktop(windowManager);
    startProgram();
    showOtherWindow(overrideRedirect, windowManager && !overrideRedirect);
    // The other program is the active full-screen window: it covers the panel too.
    if (m_hasPanel)
        QTRY_COMPARE(m_probe->pixel(panelPlace), otherColour);

    // Within a few ticks of the placement timer (1000 ms), with room for a loaded machine.
    QTRY_COMPARE_WITH_TIMEOUT(m_probe->windowAt(toolbarPlace), m_toolbar, 5000);
    // A press there reaches the toolbar, not the program beneath.
    m_probe->click(toolbarBoardButton);
    QTRY_VERIFY(m_probe->windowCaptioned(m_program.processId(), QStringLiteral("白板")) != 0);
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
    startDesktop(windowManager);
    startProgram();
    if (fromBoard) {
        openBoard();
        // Writing first, as a teacher does: the board is the window last pressed on.
        m_probe->drag(QPoint(300, 300), QPoint(400, 380));
    }
    m_probe->click(fromBoard ? boardShadeButton : toolbarShadeButton);

    const QColor black(Qt::black);
    for (const QPoint point : {QPoint(10, 10), toolbarPlace, screenMiddle, panelPlace})
        QTRY_COMPARE(m_probe->pixel(point), black);
    const quint64 shade = programWindowAt(screenMiddle);
    QVERIFY(shade != 0 && shade != m_board);

    // Any button closes it; what it covered shows again, above the panel as before.
    m_probe->click(QPoint(400, 300), 3);
    if (fromBoard) {
        QTRY_COMPARE(programWindowAt(screenMiddle), m_board);
        QTRY_COMPARE(m_probe->pixel(screenMiddle), m_boardColour);
        if (m_hasPanel)
            QTRY_COMPARE(m_probe->pixel(panelPlace), m_boardColour);
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(m_probe->windowAt(toolbarPlace), m_toolbar, 5000);
        QCOMPARE(programWindowAt(screenMiddle), quint64(0));
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
    startDesktop(windowManager);
    startProgram();
    openBoard();
    m_probe->click(boardStrokeColourButton);
    const qint64 pid = m_program.processId();
    QTRY_COMPARE_WITH_TIMEOUT(m_probe->windowsOf(pid).size(), 2, 10000);
    const quint64 dialog = m_probe->windowsOf(pid).constFirst();
    QVERIFY(dialog != m_board);

    // While the dialog is open: no window of the program on the taskbar or the pager, and the
    // board still over the panel.
    for (const quint64 window : m_probe->windowsOf(pid)) {
        const QList<xcb_atom_t> state = m_probe->atoms(window, "_NET_WM_STATE");
        QVERIFY(state.contains(m_probe->atom("_NET_WM_STATE_SKIP_TASKBAR")));
        QVERIFY(state.contains(m_probe->atom("_NET_WM_STATE_SKIP_PAGER")));
    }
    if (m_hasPanel)
        QTRY_COMPARE(m_probe->pixel(panelPlace), m_boardColour);

    m_probe->desktop().requestClose(dialog);
    QTRY_COMPARE(m_probe->windowsOf(pid), QList<quint64>{m_board});
    QTRY_COMPARE(programWindowAt(screenMiddle), m_board);
    if (m_hasPanel)
        QTRY_COMPARE(m_probe->pixel(panelPlace), m_boardColour);
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
    startDesktop(windowManager);
    startProgram();
    openBoard();
    m_probe->click(boardContentPanelButton);
    m_probe->click(panelPaletteButton);
    m_probe->click(paletteOtherTab);
    const qint64 pid = m_program.processId();
    QTRY_VERIFY_WITH_TIMEOUT(programWindowAt(settingsButtonPlace) != 0 &&
                                 programWindowAt(settingsButtonPlace) != m_board,
                             10000);
    const quint64 settingsButton = programWindowAt(settingsButtonPlace);
    QCOMPARE(m_probe->geometry(settingsButton), QRect(3, 725, 130, 48));

    m_probe->click(settingsButtonButton);
    QTRY_VERIFY_WITH_TIMEOUT(m_probe->windowCaptioned(pid, QStringLiteral("导入图片")) != 0, 10000);
    const quint64 import = m_probe->windowCaptioned(pid, QStringLiteral("导入图片"));
    QTRY_COMPARE(programWindowAt(screenMiddle), import);
    QCOMPARE(programWindowAt(settingsButtonPlace), settingsButton);
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
    startDesktop(windowManager);
    startProgram();
    openBoard();
    m_probe->move(boardNextPageButton);
    QTRY_VERIFY_WITH_TIMEOUT(
        programWindowAt(onNextPageHint) != 0 && programWindowAt(onNextPageHint) != m_board, 10000);

    // A stroke begun on the hint: the press reaches the page under it.
    m_probe->drag(onNextPageHint, onNextPageHint + QPoint(0, 110));
    QTRY_VERIFY_WITH_TIMEOUT(m_probe->pixel(onNextPageHint + QPoint(0, 60)) != m_boardColour, 5000);
}

void DesktopTest::windowsStayOffTheTaskbarAndBelowTheBoard_data()
{
    QTest::addColumn<bool>("overBoard");
    QTest::addColumn<QString>("caption");
    // The guide's window is made anew by Qt when its web view shows the first page.
    QTest::newRow("guide from the toolbar") << false << QStringLiteral("帮助");
    QTest::newRow("settings over the board") << true << QStringLiteral("设置");
}

// Under openbox with the panel: whatever window of the program is open, none of its windows is on
// the taskbar or the pager, and the board stays full screen over the panel.
void DesktopTest::windowsStayOffTheTaskbarAndBelowTheBoard()
{
    QFETCH(bool, overBoard);
    QFETCH(QString, caption);
    startDesktop(true);
    startProgram();
    if (overBoard)
        openBoard();
    const qint64 pid = m_program.processId();
    const auto programWindowsKeepTheirStates = [&] {
        for (const quint64 window : m_probe->windowsOf(pid)) {
            const QList<xcb_atom_t> state = m_probe->atoms(window, "_NET_WM_STATE");
            if (!state.contains(m_probe->atom("_NET_WM_STATE_SKIP_TASKBAR")) ||
                !state.contains(m_probe->atom("_NET_WM_STATE_SKIP_PAGER")))
                return false;
            if (window == m_board && !state.contains(m_probe->atom("_NET_WM_STATE_FULLSCREEN")))
                return false;
        }
        return true;
    };

    m_probe->click(overBoard ? boardSettingsButton : toolbarHelpButton);
    QTRY_VERIFY_WITH_TIMEOUT(m_probe->windowCaptioned(pid, caption) != 0, 15000);
    if (!overBoard)
        QTRY_COMPARE_WITH_TIMEOUT(m_probe->pixel(guidePage), guideBackground, 30000);
    QTRY_VERIFY_WITH_TIMEOUT(programWindowsKeepTheirStates(), 5000);
    if (overBoard)
        QTRY_COMPARE(m_probe->pixel(panelPlace), m_boardColour);

    // Looked up again: the guide's window may have been made anew.
    const quint64 shown = m_probe->windowCaptioned(pid, caption);
    QVERIFY(shown != 0);
    m_probe->click(m_probe->geometry(shown).topLeft() +
                   (overBoard ? settingsOkButton : guideOkButton));
    QTRY_COMPARE_WITH_TIMEOUT(m_probe->windowCaptioned(pid, caption), quint64(0), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(programWindowsKeepTheirStates(), 5000);
    if (overBoard)
        QTRY_COMPARE(m_probe->pixel(panelPlace), m_boardColour);
}

QTEST_GUILESS_MAIN(DesktopTest)
#include "DesktopTest.moc"
