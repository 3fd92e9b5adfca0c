#include "FileContents.h"
#include "ProgramOnDesktop.h"
#include "ProgramPlaces.h"
#include "SaneTestBackend.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QtTest>

#include <cstdlib>
#include <functional>

using namespace ProgramPlaces;

namespace {

// How a teacher comes to each window of the program.
enum class Opening {
    Guide,             // "帮助" on the toolbar
    Overlay,           // "标注" on the toolbar
    Shade,             // "消隐投影" on the board
    Settings,          // "设置" on the board
    ColourDialog,      // "笔画颜色" on the board
    MessageBox,        // another "背景颜色" for a written page: "是否清除本页内容？"
    FontDialog,        // the red A on the content panel's title bar
    WebPage,           // an HTML file opened into the content panel through the file dialog
    PdfDocument,       // a PDF file opened the same way
    ScannerSource,     // the scanner button on the content panel's title bar
    SettingsButton,    // the palette's "其它": the settings button window under its column
    PictureImport,     // "设置" in that window: "导入图片"
    PictureFileDialog, // "浏览" in "导入图片"
    TeacherPassword,   // a teacher with a password chosen in the settings window
    PasswordChange,    // "设置管理密码" in the settings window
};

const QColor& emptyPage = ProgramOnDesktop::emptyPageColour;
// Inside the guide's page, where its background shows.
constexpr QPoint guidePage(500, 300);
const QColor guideBackground(0xff, 0xfd, 0xf7);
// Inside the content panel's document view, where both documents show their colour.
constexpr QPoint documentPlace(180, 350);
const QColor webPageColour(0x3c, 0x8c, 0x28);
const QColor pdfColour(0x30, 0x60, 0xc0);
// On the board beside every window that opens over it, just above the panel's place.
constexpr QPoint besideTheWindows(1000, 700);
// The colour typed into the colour dialog, unlike the page's.
constexpr char typedColour[] = "#c03060";
// A teacher whose settings are kept behind a personal password (any stored value but "0").
constexpr char settingsWithPassword[] = "[tec]\r\nmum=1\r\nte1=Wang\r\n[Wang]\r\nma=156\r\n";

// A PDF page the engine may draw with a slightly different colour.
bool isNear(const QColor& shown, const QColor& expected)
{
    return std::abs(shown.red() - expected.red()) <= 8 &&
           std::abs(shown.green() - expected.green()) <= 8 &&
           std::abs(shown.blue() - expected.blue()) <= 8;
}

} // namespace

Q_DECLARE_METATYPE(Opening)

// Every window and dialog of the program on a desktop with openbox and the tint2 panel, opened and
// closed as a teacher does: whatever is open, no window of the program is on the taskbar or the
// pager, a window over the whole screen is full screen, the window shows in front, and an open
// board stays over the panel.
class DesktopWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void windowsStayOffTheTaskbarAndBelowTheBoard_data();
    void windowsStayOffTheTaskbarAndBelowTheBoard();

private:
    // Opens the window and returns it once it shows; for a document, the board that shows it.
    // 0, with a warning that says which step failed, when it does not come.
    quint64 open(Opening opening);
    quint64 openSettings();
    quint64 openSettingsButton();
    quint64 openPictureImport();
    quint64 openDocument(const QString& path, const QColor& colour);
    bool openBoard();
    bool openContentPanel();
    // The program's mapped windows, topmost first, without hints and menus: they pass by the
    // window manager and never reach a taskbar, and the program leaves them as Qt makes them.
    QList<quint64> programWindows() const;
    // The window a press or keys bring, the topmost of those new.
    quint64 newWindowAfter(const char* what, const std::function<void()>& action);
    // Keys typed before the window manager has given a new window the focus go elsewhere.
    bool hasFocus(quint64 window);
    bool waitFor(const char* what, const std::function<bool()>& condition, int timeout = 30000);
    // What is amiss with the states of the program's windows; empty when nothing is.
    QString statesAmiss() const;
    // The panel's place shows what the board shows beside the windows, never the panel.
    bool boardCoversThePanel() const;
    // The board, also once it has been made anew; 0 while it is hidden.
    quint64 board() const;

    std::unique_ptr<SaneTestBackend> m_scanner;
    QTemporaryDir m_files;
    QString m_settingsFile;
    ProgramOnDesktop m_desktop;
    DisplayProbe& m_probe = m_desktop.probe();
};

void DesktopWindowsTest::initTestCase()
{
    QVERIFY(m_desktop.isReady());
    QVERIFY(m_files.isValid());
    // The program inherits the test's environment: SANE's test device, scanning white pages, and
    // drive E, where the settings file is, in the test's own directory.
    m_scanner = std::make_unique<SaneTestBackend>();
    QVERIFY(m_scanner->configure(true, "test-picture \"Solid white\"\n"));
    qputenv("ZKALTO_DRIVES", QFile::encodeName(QStringLiteral("E=") + m_files.filePath("E")));
    m_settingsFile = m_files.filePath("E/Program files/Common files/system/datb.sec");

    FileContents::write(m_files.filePath("page.html"),
                        "<html><body style=\"background: " + webPageColour.name().toLatin1() +
                            "\"></body></html>");
    QPdfWriter pdf(m_files.filePath("page.pdf"));
    pdf.setPageMargins({});
    QPainter painter(&pdf);
    painter.fillRect(QRect(QPoint(0, 0), pdf.pageLayout().paintRectPixels(pdf.resolution()).size()),
                     pdfColour);
    QVERIFY(painter.end());
}

void DesktopWindowsTest::init()
{
    FileContents::write(m_settingsFile, settingsWithPassword);
}

void DesktopWindowsTest::cleanup()
{
    m_desktop.end();
}

bool DesktopWindowsTest::waitFor(const char* what, const std::function<bool()>& condition,
                                 int timeout)
{
    if (QTest::qWaitFor(condition, timeout))
        return true;
    qWarning("%s did not come within %d ms", what, timeout);
    return false;
}

quint64 DesktopWindowsTest::board() const
{
    return m_probe.windowCaptioned(m_desktop.pid(), QStringLiteral("白板"));
}

QList<quint64> DesktopWindowsTest::programWindows() const
{
    QList<quint64> windows = m_probe.windowsOf(m_desktop.pid());
    windows.removeIf([&](quint64 window) {
        const QList<xcb_atom_t> types = m_probe.atoms(window, "_NET_WM_WINDOW_TYPE");
        for (const char* type :
             {"_NET_WM_WINDOW_TYPE_TOOLTIP", "_NET_WM_WINDOW_TYPE_POPUP_MENU",
              "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU", "_NET_WM_WINDOW_TYPE_COMBO"}) {
            if (types.contains(m_probe.atom(type)))
                return true;
        }
        return false;
    });
    return windows;
}

quint64 DesktopWindowsTest::newWindowAfter(const char* what, const std::function<void()>& action)
{
    const QList<quint64> before = programWindows();
    action();
    quint64 shown = 0;
    waitFor(what, [&] {
        for (const quint64 window : programWindows()) {
            if (!before.contains(window)) {
                shown = window;
                return true;
            }
        }
        return false;
    });
    return shown;
}

bool DesktopWindowsTest::hasFocus(quint64 window)
{
    return waitFor("the keyboard focus", [&] { return m_probe.focus() == window; });
}

bool DesktopWindowsTest::openBoard()
{
    m_desktop.openBoard();
    return !QTest::currentTestFailed();
}

bool DesktopWindowsTest::openContentPanel()
{
    if (!openBoard())
        return false;
    m_probe.click(boardContentPanelButton);
    return waitFor("the content panel", [&] { return m_probe.pixel(documentPlace) != emptyPage; });
}

quint64 DesktopWindowsTest::openSettings()
{
    if (!openBoard())
        return 0;
    return newWindowAfter("the settings window", [&] { m_probe.click(boardSettingsButton); });
}

quint64 DesktopWindowsTest::openSettingsButton()
{
    if (!openContentPanel())
        return 0;
    m_probe.click(panelPaletteButton);
    return newWindowAfter("the settings button window", [&] { m_probe.click(paletteOtherTab); });
}

quint64 DesktopWindowsTest::openPictureImport()
{
    if (!openSettingsButton())
        return 0;
    return newWindowAfter("the picture import window",
                          [&] { m_probe.click(settingsButtonButton); });
}

quint64 DesktopWindowsTest::openDocument(const QString& path, const QColor& colour)
{
    if (!openContentPanel())
        return 0;
    const quint64 dialog =
        newWindowAfter("the file dialog", [&] { m_probe.click(panelOpenButton); });
    if (!dialog || !hasFocus(dialog))
        return 0;
    // Qt's own file dialog takes a whole path typed into its name field.
    m_probe.type(path);
    m_probe.key(QStringLiteral("Return"));
    // Generous: the web engine starts with the first document.
    if (!waitFor(
            "the document", [&] { return isNear(m_probe.pixel(documentPlace), colour); }, 60000))
        return 0;
    return board();
}

quint64 DesktopWindowsTest::open(Opening opening)
{
    switch (opening) {
    case Opening::Guide:
        if (!newWindowAfter("the guide", [&] { m_probe.click(toolbarHelpButton); }) ||
            !waitFor(
                "the guide's page", [&] { return m_probe.pixel(guidePage) == guideBackground; },
                60000))
            return 0;
        // Looked up again: the guide's web view makes its window anew.
        return m_probe.windowCaptioned(m_desktop.pid(), QStringLiteral("帮助"));
    case Opening::Overlay:
        return newWindowAfter("the overlay", [&] { m_probe.click(toolbarAnnotateButton); });
    case Opening::Shade:
        if (!openBoard())
            return 0;
        return newWindowAfter("the shade", [&] { m_probe.click(boardShadeButton); });
    case Opening::Settings:
        return openSettings();
    case Opening::ColourDialog:
        if (!openBoard())
            return 0;
        return newWindowAfter("the colour dialog", [&] { m_probe.click(boardStrokeColourButton); });
    case Opening::MessageBox: {
        if (!openBoard())
            return 0;
        m_probe.drag(QPoint(300, 300), QPoint(400, 380));
        if (!waitFor("the stroke", [&] { return m_probe.pixel(QPoint(350, 340)) != emptyPage; }))
            return 0;
        const quint64 colours = newWindowAfter("the colour dialog",
                                               [&] { m_probe.click(boardBackgroundColourButton); });
        if (!colours || !hasFocus(colours))
            return 0;
        return newWindowAfter("the message box", [&] {
            m_probe.key(QStringLiteral("alt+h"));
            m_probe.type(QString::fromLatin1(typedColour));
            m_probe.key(QStringLiteral("Return"));
        });
    }
    case Opening::FontDialog:
        if (!openContentPanel())
            return 0;
        return newWindowAfter("the font dialog", [&] { m_probe.click(panelFontButton); });
    case Opening::WebPage:
        return openDocument(m_files.filePath("page.html"), webPageColour);
    case Opening::PdfDocument:
        return openDocument(m_files.filePath("page.pdf"), pdfColour);
    case Opening::ScannerSource:
        if (!openContentPanel())
            return 0;
        return newWindowAfter("the scanner source window", [&] { m_probe.click(panelScanButton); });
    case Opening::SettingsButton:
        return openSettingsButton();
    case Opening::PictureImport:
        return openPictureImport();
    case Opening::PictureFileDialog: {
        const quint64 import = openPictureImport();
        if (!import)
            return 0;
        const QPoint browse = m_probe.geometry(import).topLeft() + pictureImportBrowseButton;
        return newWindowAfter("the file dialog", [&] { m_probe.click(browse); });
    }
    case Opening::TeacherPassword: {
        const quint64 settings = openSettings();
        if (!settings)
            return 0;
        const QPoint teacher = m_probe.geometry(settings).topLeft() + settingsSecondTeacher;
        return newWindowAfter("the teacher password window", [&] { m_probe.click(teacher); });
    }
    case Opening::PasswordChange: {
        const quint64 settings = openSettings();
        if (!settings)
            return 0;
        const QPoint button =
            m_probe.geometry(settings).topLeft() + settingsAdministratorPasswordButton;
        return newWindowAfter("the password change window", [&] { m_probe.click(button); });
    }
    }
    return 0;
}

QString DesktopWindowsTest::statesAmiss() const
{
    const QRect screen(0, 0, 1024, 768);
    for (const quint64 window : programWindows()) {
        const QList<xcb_atom_t> state = m_probe.atoms(window, "_NET_WM_STATE");
        for (const char* wanted : {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}) {
            if (!state.contains(m_probe.atom(wanted)))
                return QStringLiteral("window 0x%1 lacks %2").arg(window, 0, 16).arg(wanted);
        }
        // The board and the overlay.
        if (m_probe.geometry(window) == screen &&
            !state.contains(m_probe.atom("_NET_WM_STATE_FULLSCREEN")))
            return QStringLiteral("window 0x%1 covers the screen, not full screen")
                .arg(window, 0, 16);
    }
    return {};
}

bool DesktopWindowsTest::boardCoversThePanel() const
{
    const QColor shown = m_probe.pixel(ProgramOnDesktop::panelPlace);
    return shown != ProgramOnDesktop::panelColour && shown == m_probe.pixel(besideTheWindows);
}

void DesktopWindowsTest::windowsStayOffTheTaskbarAndBelowTheBoard_data()
{
    QTest::addColumn<Opening>("opening");
    // From the window's top-left corner; none for Escape.
    QTest::addColumn<QPoint>("closeButton");
    // What the board shows beside the windows once this one has closed; none for its empty page.
    QTest::addColumn<QColor>("pageAfterwards");

    QTest::newRow("guide from the toolbar") << Opening::Guide << guideOkButton << QColor();
    QTest::newRow("overlay") << Opening::Overlay << overlayLeaveButton << QColor();
    // Any press closes the shade.
    QTest::newRow("shade over the board") << Opening::Shade << QPoint(400, 300) << QColor();
    QTest::newRow("settings") << Opening::Settings << settingsOkButton << QColor();
    QTest::newRow("colour dialog") << Opening::ColourDialog << QPoint() << QColor();
    QTest::newRow("message box") << Opening::MessageBox << QPoint() << QColor();
    QTest::newRow("font dialog") << Opening::FontDialog << QPoint() << QColor();
    // Documents show in a web view: the board's native window may be made anew. The panel's red
    // cross closes them.
    QTest::newRow("web page") << Opening::WebPage << panelCloseButton << QColor();
    QTest::newRow("PDF document") << Opening::PdfDocument << panelCloseButton << QColor();
    // "确定" scans a white page onto the board.
    QTest::newRow("scan") << Opening::ScannerSource << scannerSourceOkButton << QColor(Qt::white);
    // It goes with the palette: its red cross, above the window.
    QTest::newRow("settings button under the palette")
        << Opening::SettingsButton << paletteCloseButton - settingsButtonCorner << QColor();
    QTest::newRow("picture import") << Opening::PictureImport << pictureImportOkButton << QColor();
    QTest::newRow("file dialog") << Opening::PictureFileDialog << QPoint() << QColor();
    QTest::newRow("teacher password")
        << Opening::TeacherPassword << teacherPasswordCancelButton << QColor();
    QTest::newRow("password change")
        << Opening::PasswordChange << passwordChangeCancelButton << QColor();
}

void DesktopWindowsTest::windowsStayOffTheTaskbarAndBelowTheBoard()
{
    QFETCH(Opening, opening);
    QFETCH(QPoint, closeButton);
    QFETCH(QColor, pageAfterwards);
    m_desktop.startDesktop(true);
    m_desktop.startProgram();
    QVERIFY(!QTest::currentTestFailed());

    const quint64 shown = open(opening);
    QVERIFY2(shown != 0, "the window did not open");
    const bool overBoard = m_desktop.board() != 0;
    QTRY_COMPARE_WITH_TIMEOUT(statesAmiss(), QString(), 10000);
    // In front, where the teacher sees it.
    const QRect place = m_probe.geometry(shown);
    QTRY_COMPARE_WITH_TIMEOUT(m_desktop.programWindowAt(place.center()), shown, 10000);
    if (overBoard)
        QTRY_VERIFY_WITH_TIMEOUT(boardCoversThePanel(), 10000);

    if (closeButton.isNull()) {
        QVERIFY(hasFocus(shown));
        m_probe.key(QStringLiteral("Escape"));
    } else {
        m_probe.click(place.topLeft() + closeButton);
    }
    if (shown == board())
        QTRY_VERIFY_WITH_TIMEOUT(m_probe.pixel(documentPlace) == emptyPage, 10000);
    else
        QTRY_VERIFY_WITH_TIMEOUT(!m_probe.windowsOf(m_desktop.pid()).contains(shown), 10000);
    if (overBoard) {
        const QColor page = pageAfterwards.isValid() ? pageAfterwards : emptyPage;
        QTRY_COMPARE_WITH_TIMEOUT(m_probe.pixel(besideTheWindows), page, 30000);
    }
    QTRY_COMPARE_WITH_TIMEOUT(statesAmiss(), QString(), 10000);
    if (overBoard)
        QTRY_VERIFY_WITH_TIMEOUT(boardCoversThePanel(), 10000);
}

QTEST_GUILESS_MAIN(DesktopWindowsTest)
#include "DesktopWindowsTest.moc"
