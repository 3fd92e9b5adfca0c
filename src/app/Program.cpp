#include "app/Program.h"

#include "acquire/FolderImport.h"
#include "acquire/ScanSession.h"
#include "acquire/window/PictureImportWindow.h"
#include "acquire/window/ScannerSourceWindow.h"
#include "acquire/window/SettingsButtonWindow.h"
#include "aids/TextLinePanelModel.h"
#include "aids/window/HelpWindow.h"
#include "aids/window/ShadeWindow.h"
#include "aids/window/TextLinePanel.h"
#include "app/StartupChecks.h"
#include "app/ToolbarWindow.h"
#include "board/content/DocumentOpener.h"
#include "board/model/BoardModel.h"
#include "board/model/ClipArtPalette.h"
#include "board/model/ThumbnailStripModel.h"
#include "board/pixels/ColourRef.h"
#include "board/recovery/BoardBackup.h"
#include "board/recovery/RecoveryFolder.h"
#include "board/window/BoardWindow.h"
#include "board/window/ContentPanel.h"
#include "board/window/PalettePanel.h"
#include "files/ProgramNames.h"
#include "lessons/AdministratorPassword.h"
#include "lessons/LessonChoice.h"
#include "lessons/LessonTransfer.h"
#include "lessons/PasswordChange.h"
#include "lessons/PictureImportSession.h"
#include "lessons/SettingsLocation.h"
#include "lessons/TeacherSettings.h"
#include "lessons/window/PasswordChangeWindow.h"
#include "lessons/window/SettingsWindow.h"
#include "lessons/window/TeacherPasswordWindow.h"
#include "overlay/OverlayModel.h"
#include "overlay/window/OverlayWindow.h"
#include "platform/real/Platform.h"
#include "ui/SystemWindow.h"

#include <QApplication>
#include <QTimer>
#include <QWindow>

#include <cstdio>

namespace {

const QString recoveryQuestion = QStringLiteral("上次书写的内容没有正常保存，是否恢复？");

// The window under this point is the one the teacher was working in when the overlay opened.
constexpr QPoint returnWindowPoint(500, 360);
// Said when the desktop gives no picture of the screen to write on.
const QString screenUnavailable = QStringLiteral("无法获取屏幕画面，不能在屏幕上标注。");

// A window manager keeps the active full-screen board above every other window of its layer,
// always-on-top ones too, but stacks a window that belongs to the board above it.
void belongToBoard(QWidget* window, QWidget* board)
{
    if (!board->windowHandle())
        return;
    window->winId();
    window->windowHandle()->setTransientParent(board->windowHandle());
}

} // namespace

Program::Program(Platform& platform, QSize screenSize, const ProgramDirectories& directories)
    : m_platform(platform), m_directories(directories), m_taskbarKeeper(*platform.desktop),
      m_fullScreenKeeper(*platform.desktop), m_taskKeyBlock(*platform.taskKeys)
{
    // The application window is never shown; its caption is how a second copy sees this one.
    m_applicationWindow.setTitle(QString::fromLatin1(ProgramNames::title));
    m_applicationWindow.create();
    createWindows(screenSize);
    m_fullScreenKeeper.watch(m_windows.overlay);
    m_fullScreenKeeper.watch(m_windows.board);
    m_fullScreenKeeper.watch(m_windows.shade);
    connectWindows();
}

Program::~Program()
{
    // The worker writes no more once the board is gone.
    m_backup.reset();
    // Windows go in the reverse order of their creation, so the password windows, which belong
    // to the settings window, go before it.
    QList<QWidget*> windows = m_windows.inCreationOrder();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        delete *it;
}

void Program::createWindows(QSize screenSize)
{
    m_windows.toolbar = new ToolbarWindow(m_platform, m_taskKeyBlock, m_directories.delivered);
    startToolbar();
    // The board's pages exist before the overlay, which works on the board's scratch image.
    m_board = std::make_unique<BoardModel>(screenSize, m_directories.written, *m_platform.prompter);
    // The clip-art files are delivered beside the program.
    m_palette =
        std::make_unique<ClipArtPalette>(*m_board, m_pictureColumn, m_directories.delivered);
    m_thumbnails = std::make_unique<ThumbnailStripModel>(*m_board);
    m_overlay = std::make_unique<OverlayModel>(*m_board, m_directories.written,
                                               *m_platform.prompter, *m_platform.clock);
    m_windows.overlay = new OverlayWindow(*m_overlay, m_cursors);
    m_windows.board =
        new BoardWindow(*m_board, *m_palette, *m_thumbnails, m_cursors, m_pictureColumn);
    m_documents = std::make_unique<DocumentOpener>(
        m_board->panel(), *m_platform.prompter, *m_platform.launcher, *m_platform.documentConverter,
        m_directories.delivered);
    m_windows.help = new HelpWindow(m_directories.delivered + QStringLiteral("zkthelp.mht"));
    m_windows.shade = new ShadeWindow(*m_platform.desktop);
    createSettingsWindows();
    m_scanSession = std::make_unique<ScanSession>(*m_platform.scanner, *m_board,
                                                  *m_platform.prompter, m_directories.written);
    m_windows.scannerSource = new ScannerSourceWindow(*m_scanSession);
    // Thumbnails go through "tmp.bmt" in the directory the program writes to.
    m_folderImport = std::make_unique<FolderImport>(m_pictureColumn, *m_platform.prompter,
                                                    m_directories.written);
    m_pictureImport = std::make_unique<PictureImportSession>(m_pictureColumn, *m_folderImport,
                                                             *m_teachers, *m_platform.prompter);
    m_windows.pictureImport = new PictureImportWindow(*m_pictureImport, *m_folderImport,
                                                      m_pictureColumn, *m_platform.drives);
    m_windows.settingsButton = new SettingsButtonWindow(*m_folderImport);
    // The companion program is delivered beside this one, also when written files go elsewhere.
    m_textLinePanel = std::make_unique<TextLinePanelModel>(
        *m_platform.desktop, *m_platform.launcher, *m_platform.prompter, m_directories.delivered,
        [this](bool running) { m_taskKeyBlock.setScreenSaverRunning(running); });
    m_windows.textLinePanel = new TextLinePanel(*m_textLinePanel);
}

void Program::createSettingsWindows()
{
    Prompter& prompter = *m_platform.prompter;
    m_teachers = std::make_unique<TeacherSettings>(SettingsLocation::find(*m_platform.drives));
    m_administrator = std::make_unique<AdministratorPassword>(
        m_directories.delivered + QStringLiteral("sxut.dll"),
        m_directories.written + QStringLiteral("sxut.dll"));
    m_lessonChoice = std::make_unique<LessonChoice>(*m_teachers, *m_platform.drives);
    m_lessonTransfer = std::make_unique<LessonTransfer>(*m_board, *m_teachers, *m_lessonChoice,
                                                        *m_administrator, *m_platform.drives);
    m_windows.settings = new SettingsWindow(*m_teachers, *m_lessonChoice, *m_lessonTransfer,
                                            m_captureModeChoice, prompter);
    applyStartupSettings();
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
    const QColor pen = ColourRef::toColor(settings.penColour);
    m_board->setStrokeColour(pen);
    m_board->setBackgroundSwatch(ColourRef::toColor(settings.backgroundColour));
    m_board->setStrokeWidth(settings.width);
    m_board->setTextPanelColour(settings.textBoxColour);
    m_overlay->setPenColour(pen);
    m_overlay->setStrokeWidth(settings.width);
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
    QObject::connect(toolbar, &ToolbarWindow::annotateRequested, toolbar,
                     [this] { openOverlay(); });
    QObject::connect(toolbar, &ToolbarWindow::textLinePanelRequested, toolbar,
                     [this] { openTextLinePanel(); });
    QObject::connect(toolbar, &ToolbarWindow::shadeRequested, m_windows.shade, &ShadeWindow::open);
    QObject::connect(toolbar, &ToolbarWindow::exitConfirmed, toolbar, [this] { runExitSteps(); });
    // The program ends even when a window would refuse to close (see endFromOutside).
    QObject::connect(
        toolbar, &ToolbarWindow::closed, qApp, [] { QCoreApplication::exit(0); },
        Qt::QueuedConnection);
    QObject::connect(toolbar, &ToolbarWindow::helpRequested, m_windows.help, &QDialog::exec);
    QObject::connect(m_windows.shade, &ShadeWindow::closed, toolbar, [this] { closeShade(); });
    QObject::connect(board, &BoardWindow::shadeRequested, m_windows.shade, &ShadeWindow::open);
    SettingsWindow* settings = m_windows.settings;
    QObject::connect(board, &BoardWindow::settingsRequested, settings,
                     &SettingsWindow::showFromBoard);
    QObject::connect(settings, &SettingsWindow::teacherPasswordRequested, m_windows.teacherPassword,
                     &TeacherPasswordWindow::ask);
    QObject::connect(settings, &SettingsWindow::passwordChangeRequested, m_windows.passwordChange,
                     &PasswordChangeWindow::open);
    QObject::connect(settings, &SettingsWindow::confirmed, m_pictureImport.get(),
                     &PictureImportSession::settingsConfirmed);
    QObject::connect(m_windows.settingsButton, &SettingsButtonWindow::settingsRequested,
                     m_windows.pictureImport, [this] {
                         belongToBoard(m_windows.pictureImport, m_windows.board);
                         m_windows.pictureImport->showModal();
                     });
    QObject::connect(&m_captureModeChoice, &CaptureModeChoice::changed, settings,
                     [this](int choice) { m_overlay->setCaptureMode(CaptureMode(choice)); });
    QObject::connect(board, &BoardWindow::leaveRequested, toolbar, [this] { comeBackFromBoard(); });
    QObject::connect(board->Panel4, &ContentPanel::documentRequested, m_documents.get(),
                     &DocumentOpener::choose);
    QObject::connect(m_documents.get(), &DocumentOpener::leaveBoardRequested, board,
                     &BoardWindow::leave);
    OverlayWindow* overlay = m_windows.overlay;
    QObject::connect(overlay, &OverlayWindow::boardRequested, toolbar, [this] { openBoard(); });
    QObject::connect(overlay, &OverlayWindow::leaveRequested, toolbar, [this] { leaveOverlay(); });
    QObject::connect(overlay, &OverlayWindow::shadeRequested, m_windows.shade, &ShadeWindow::open);
    QObject::connect(overlay, &OverlayWindow::helpRequested, overlay, [this] {
        m_windows.help->exec();
        m_overlay->repaintAll();
    });
    ScanSession* scan = m_scanSession.get();
    QObject::connect(board->Panel4, &ContentPanel::scanRequested, scan, &ScanSession::reload);
    QObject::connect(scan, &ScanSession::sourcesReady, m_windows.scannerSource,
                     &ScannerSourceWindow::showModal);
    QObject::connect(scan, &ScanSession::busyChanged, board,
                     [this](bool busy) { showScanBusy(busy); });
    // The panel closes as its close button closes it, keeping its text for the page.
    QObject::connect(scan, &ScanSession::contentPanelCloseRequested, board, [this] {
        if (m_board->contentPanel().shown)
            m_board->panel().close();
    });
    // Bound to the settings button window, which goes before the board at the end.
    QObject::connect(board->Panel9, &PalettePanel::settingsButtonChanged, m_windows.settingsButton,
                     [this](bool shown, QPoint topLeft) { placeSettingsButton(shown, topLeft); });
    // "其它" shows a column not yet filled: the teacher's picture folder fills it.
    QObject::connect(m_palette.get(), &ClipArtPalette::columnFillRequested, m_pictureImport.get(),
                     &PictureImportSession::fillColumn);
}

void Program::placeSettingsButton(bool shown, QPoint topLeft)
{
    QWidget* settingsButton = m_windows.settingsButton;
    settingsButton->move(m_windows.board->pos() + topLeft);
    if (shown)
        belongToBoard(settingsButton, m_windows.board);
    settingsButton->setVisible(shown);
}

void Program::openBoard()
{
    if (m_windows.textLinePanel->isVisible())
        m_windows.textLinePanel->hide();
    m_windows.board->openFromDesktop();
}

void Program::openOverlay()
{
    m_returnWindow = m_platform.desktop->windowAt(
        SystemWindow::screenArea(m_windows.toolbar).topLeft() + returnWindowPoint);
    // The toolbar leaves the screen first: the picture shows the desktop without it. The grab
    // hides its native window; the widget is told too, or showing it again would do nothing.
    const QImage desktop = m_platform.desktop->grabScreenWithout(m_windows.toolbar->windowHandle());
    m_windows.toolbar->hide();
    if (desktop.isNull()) {
        // No picture to write on: the toolbar comes back rather than a black overlay.
        m_platform.prompter->inform(QString::fromLatin1(ProgramNames::title), screenUnavailable);
        m_windows.toolbar->comeBack();
        return;
    }
    m_overlay->open(desktop);
    SystemWindow::coverScreen(m_windows.overlay);
    m_windows.overlay->show();
}

void Program::leaveOverlay()
{
    m_windows.toolbar->comeBack();
    if (m_returnWindow)
        m_platform.desktop->bringToFront(m_returnWindow);
}

void Program::openTextLinePanel()
{
    if (!m_platform.registry->canOpen(QStringLiteral("\\XdictGrb.GrabProxy\\CurVer")))
        return;
    m_windows.textLinePanel->placeFor(SystemWindow::screenArea(m_windows.textLinePanel).size());
    m_textLinePanel->open();
}

void Program::comeBackFromBoard()
{
    if (m_textLinePanel->openMark() == 1)
        m_windows.textLinePanel->show();
    m_windows.toolbar->comeBack();
}

void Program::closeShade()
{
    m_windows.toolbar->startPlacementTimer();
    // What the shade covered is shown again: the overlay paints its working image whole, the
    // board its current page.
    if (m_windows.overlay->isVisible())
        m_overlay->repaintAll();
    else if (m_windows.board->isVisible())
        m_board->repaintFromPage();
}

void Program::showScanBusy(bool busy)
{
    // The pointer says so on every window while the scanner works.
    if (busy)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
}

void Program::startBackup()
{
    if (m_directories.state.isEmpty() || m_exitStepsRun)
        return;
    m_recovery = std::make_unique<RecoveryFolder>(m_directories.state);
    if (!m_recovery->isClaimed()) {
        std::fprintf(stderr, "zkalto: no folder for the board's backup can be made in %s\n",
                     qPrintable(m_directories.state));
        m_recovery.reset();
        return;
    }
    if (m_recovery->holdsBackup())
        offerRecovery();
    // Ended while the question was open: the backup stays to be offered at the next start.
    if (m_exitStepsRun)
        return;
    m_backup = std::make_unique<BoardBackup>(*m_board, *m_recovery);
}

void Program::offerRecovery()
{
    // Read whole before it is offered: a damaged backup is never offered, nor restored in part.
    const RecoveryFolder::Reading reading = m_recovery->read(m_board->screenSize());
    if (!reading.board) {
        std::fprintf(stderr,
                     "zkalto: the board kept in %s cannot be restored: %s; it is moved to "
                     "recovery.old\n",
                     qPrintable(m_recovery->path()), qPrintable(reading.problem));
        m_recovery->moveAside();
        return;
    }
    const bool restore =
        m_platform.prompter->askYesNo(QString::fromLatin1(ProgramNames::title), recoveryQuestion);
    if (m_exitStepsRun)
        return;
    if (!restore) {
        // Kept until the next refusal, in case the answer was a slip.
        m_recovery->moveAside();
        return;
    }
    m_board->restoreBoard(*reading.board);
    m_windows.toolbar->openBoard();
}

void Program::runExitSteps()
{
    if (m_exitStepsRun)
        return;
    m_exitStepsRun = true;
    m_platform.desktop->setTaskbarVisible(true);
    m_taskKeyBlock.release();
    m_board->pages().deletePageTextFiles();
    // A backup not yet offered back (the program ended during the question) stays.
    if (m_backup) {
        m_backup.reset();
        m_recovery->remove();
    }
}

void Program::endFromOutside()
{
    runExitSteps();
    m_windows.toolbar->close();
    // Hidden, a window asks nothing: closing the settings or help window would be refused, as
    // its only way out is "确定". exit() ends every event loop, a modal window's own too, where
    // quit() would ask each window first.
    for (QWidget* window : QApplication::topLevelWidgets())
        window->hide();
    QCoreApplication::exit(0);
}
