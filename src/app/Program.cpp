#include "app/Program.h"

#include "aids/ShadeWindow.h"
#include "aids/TextLinePanel.h"
#include "app/StartupChecks.h"
#include "app/ToolbarWindow.h"
#include "board/model/BoardModel.h"
#include "board/pixels/ColourRef.h"
#include "board/window/BoardWindow.h"
#include "lessons/AdministratorPassword.h"
#include "lessons/PasswordChange.h"
#include "lessons/PasswordChangeWindow.h"
#include "lessons/SettingsLocation.h"
#include "lessons/SettingsWindow.h"
#include "lessons/TeacherPasswordWindow.h"
#include "lessons/TeacherSettings.h"
#include "platform/Platform.h"
#include "ui/SystemWindow.h"

#include <QApplication>
#include <QTimer>

namespace {

// A window whose own work is still to come: it exists with its name and caption, hidden.
QWidget* namedWindow(const char* objectName, const QString& caption)
{
    auto* window = new QWidget;
    SystemWindow::setUp(window, QString::fromLatin1(objectName), caption,
                        SystemWindow::Layer::OnTop);
    return window;
}

} // namespace

Program::Program(Platform& platform, QSize screenSize, const ProgramDirectories& directories)
    : m_platform(platform), m_screenSize(screenSize), m_directories(directories),
      m_taskbarKeeper(*platform.desktop), m_taskKeyBlock(*platform.taskKeys)
{
    // The application window is never shown; its caption is how a second copy sees this one.
    m_applicationWindow.setTitle(QString::fromLatin1(StartupChecks::applicationTitle));
    m_applicationWindow.create();
    createWindows(screenSize);
    for (QWidget* window : m_windows.inCreationOrder())
        m_taskbarKeeper.watch(window);
    connectWindows();
}

Program::~Program()
{
    // Windows go in the reverse order of their creation, so the password windows, which belong
    // to the settings window, go before it.
    QList<QWidget*> windows = m_windows.inCreationOrder();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        delete *it;
}

void Program::createWindows(QSize screenSize)
{
    m_windows.toolbar =
        new ToolbarWindow(m_platform, m_taskKeyBlock, screenSize, m_directories.delivered);
    startToolbar();
    m_windows.overlay = namedWindow("TForm2", QStringLiteral("zkalto"));
    m_board = std::make_unique<BoardModel>(screenSize, m_directories.written, *m_platform.prompter);
    m_windows.board = new BoardWindow(*m_board, m_cursors);
    m_windows.help = namedWindow("TForm4", QStringLiteral("帮助"));
    m_windows.shade = new ShadeWindow(*m_platform.desktop);
    createSettingsWindows();
    m_windows.scannerSource = namedWindow("TForm11", QStringLiteral("zkalto"));
    m_windows.pictureImport = namedWindow("TForm12", QStringLiteral("导入图片"));
    m_windows.settingsButton = namedWindow("TForm13", QStringLiteral("zkalto"));
    m_windows.textLinePanel = new TextLinePanel;
}

void Program::createSettingsWindows()
{
    Prompter& prompter = *m_platform.prompter;
    m_teachers = std::make_unique<TeacherSettings>(SettingsLocation::find(*m_platform.drives));
    m_windows.settings = new SettingsWindow(*m_teachers, m_captureMode, prompter);
    applyStartupSettings();
    m_administrator = std::make_unique<AdministratorPassword>(
        m_directories.delivered + QStringLiteral("sxut.dll"),
        m_directories.written + QStringLiteral("sxut.dll"));
    m_passwordChange = std::make_unique<PasswordChange>(*m_teachers, *m_administrator);
    // Both are used over the modal settings window, so they belong to it.
    m_windows.teacherPassword =
        new TeacherPasswordWindow(*m_teachers, prompter, m_windows.settings);
    m_windows.passwordChange =
        new PasswordChangeWindow(*m_passwordChange, prompter, m_windows.settings);
}

void Program::applyStartupSettings()
{
    const StartupSettings settings = StartupSettings::from(m_teachers->startupSettings());
    m_board->setStrokeColour(ColourRef::toColor(settings.penColour));
    m_board->setBackgroundSwatch(ColourRef::toColor(settings.backgroundColour));
    m_board->setStrokeWidth(settings.width);
}

void Program::startToolbar()
{
    StartupChecks::checkColourDepth(*m_platform.desktop, *m_platform.prompter);
    m_endRequested = StartupChecks::walkWindows(*m_platform.desktop);
    m_platform.desktop->keepOffTaskbar(&m_applicationWindow);
    m_windows.toolbar->moveHome();
    m_taskKeyBlock.block();
    m_windows.toolbar->startPlacementTimer();
}

void Program::connectWindows()
{
    ToolbarWindow* toolbar = m_windows.toolbar;
    BoardWindow* board = m_windows.board;
    QObject::connect(toolbar, &ToolbarWindow::boardRequested, toolbar, [this] { openBoard(); });
    QObject::connect(toolbar, &ToolbarWindow::textLinePanelRequested, toolbar,
                     [this] { openTextLinePanel(); });
    QObject::connect(toolbar, &ToolbarWindow::shadeRequested, m_windows.shade, &ShadeWindow::open);
    QObject::connect(toolbar, &ToolbarWindow::exitConfirmed, toolbar, [this] { runExitSteps(); });
    QObject::connect(toolbar, &ToolbarWindow::closed, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    QObject::connect(m_windows.shade, &ShadeWindow::closed, toolbar, [this] { closeShade(); });
    QObject::connect(board, &BoardWindow::shadeRequested, m_windows.shade, &ShadeWindow::open);
    SettingsWindow* settings = m_windows.settings;
    QObject::connect(board, &BoardWindow::settingsRequested, settings,
                     &SettingsWindow::showFromBoard);
    QObject::connect(settings, &SettingsWindow::teacherPasswordRequested, m_windows.teacherPassword,
                     &TeacherPasswordWindow::ask);
    QObject::connect(settings, &SettingsWindow::passwordChangeRequested, m_windows.passwordChange,
                     &PasswordChangeWindow::open);
    QObject::connect(board, &BoardWindow::leaveRequested, toolbar, [this] { comeBackFromBoard(); });
}

void Program::openBoard()
{
    if (m_windows.textLinePanel->isVisible())
        m_windows.textLinePanel->hide();
    m_windows.board->openFromDesktop();
}

void Program::openTextLinePanel()
{
    if (!m_platform.registry->canOpen(QStringLiteral("\\XdictGrb.GrabProxy\\CurVer")))
        return;
    TextLinePanel* panel = m_windows.textLinePanel;
    panel->placeFor(m_screenSize);
    panel->show();
    panel->setOpenMark(1);
    // The companion program is delivered beside this one, also when written files go elsewhere.
    m_platform.launcher->startProgram(QStringLiteral("ani.dll"), m_directories.delivered);
    panel->Timer1->start();
}

void Program::comeBackFromBoard()
{
    if (m_windows.textLinePanel->openMark() == 1)
        m_windows.textLinePanel->show();
    m_windows.toolbar->comeBack();
}

void Program::closeShade()
{
    m_windows.toolbar->startPlacementTimer();
    if (m_windows.board->isVisible())
        m_board->repaintFromPage();
}

void Program::runExitSteps()
{
    m_platform.desktop->setTaskbarVisible(true);
    m_taskKeyBlock.release();
    m_board->pages().deletePageTextFiles();
}
