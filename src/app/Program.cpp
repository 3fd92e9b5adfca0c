#include "app/Program.h"

#include "aids/ShadeWindow.h"
#include "aids/TextLinePanel.h"
#include "app/StartupChecks.h"
#include "app/ToolbarWindow.h"
#include "board/window/BoardWindow.h"
#include "lessons/SettingsWindow.h"
#include "platform/Platform.h"
#include "ui/SystemWindow.h"

#include <QApplication>

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

Program::Program(Platform& platform, QSize screenSize, const QString& programDirectory)
    : m_platform(platform), m_taskbarKeeper(*platform.desktop),
      m_fullScreenKeeper(*platform.desktop)
{
    // The application window is never shown; its caption is how a second copy sees this one.
    m_applicationWindow.setTitle(QString::fromLatin1(StartupChecks::applicationTitle));
    m_applicationWindow.create();
    createWindows(platform, screenSize, programDirectory);
    m_fullScreenKeeper.watch(m_windows.board);
    m_fullScreenKeeper.watch(m_windows.shade);
    connectWindows();
}

Program::~Program()
{
    // Windows have no parents; they go in the reverse order of their creation.
    QList<QWidget*> windows = m_windows.inCreationOrder();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        delete *it;
}

bool Program::endRequested() const
{
    return m_windows.toolbar->endRequested();
}

void Program::runExitSteps()
{
    m_platform.desktop->setTaskbarVisible(true);
    m_platform.taskKeys->release();
    m_windows.board->pages().deletePageTextFiles();
    m_windows.toolbar->close();
}

void Program::createWindows(Platform& platform, QSize screenSize, const QString& programDirectory)
{
    m_windows.toolbar =
        new ToolbarWindow(platform, m_windows, &m_applicationWindow, screenSize, programDirectory);
    m_windows.overlay = namedWindow("TForm2", QStringLiteral("zkalto"));
    m_windows.board = new BoardWindow(screenSize, programDirectory, m_cursors, *platform.prompter);
    m_windows.help = namedWindow("TForm4", QStringLiteral("帮助"));
    m_windows.shade = new ShadeWindow(*platform.desktop);
    m_windows.settings = new SettingsWindow;
    m_windows.teacherPassword = namedWindow("TForm7", QStringLiteral("zkalto"));
    m_windows.passwordChange = namedWindow("TForm8", QStringLiteral("zkalto"));
    m_windows.scannerSource = namedWindow("TForm11", QStringLiteral("zkalto"));
    m_windows.pictureImport = namedWindow("TForm12", QStringLiteral("导入图片"));
    m_windows.settingsButton = namedWindow("TForm13", QStringLiteral("zkalto"));
    m_windows.textLinePanel = new TextLinePanel;
}

void Program::connectWindows()
{
    ToolbarWindow* toolbar = m_windows.toolbar;
    BoardWindow* board = m_windows.board;
    QObject::connect(toolbar, &ToolbarWindow::exitRequested, toolbar, [this] { runExitSteps(); });
    QObject::connect(toolbar, &ToolbarWindow::exitConfirmed, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    QObject::connect(m_windows.shade, &ShadeWindow::closed, toolbar, [toolbar, board] {
        toolbar->startPlacementTimer();
        if (board->isVisible())
            board->repaintFromPage();
    });
    QObject::connect(board, &BoardWindow::shadeRequested, m_windows.shade, &ShadeWindow::open);
    QObject::connect(board, &BoardWindow::settingsRequested, m_windows.settings, &QDialog::exec);
    QObject::connect(board, &BoardWindow::leaveRequested, toolbar, [this, toolbar] {
        if (m_windows.textLinePanel->openMark() == 1)
            m_windows.textLinePanel->show();
        toolbar->comeBack();
    });
}
