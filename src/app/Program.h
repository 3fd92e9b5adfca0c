#pragma once

#include "app/FullScreenKeeper.h"
#include "app/TaskKeyBlock.h"
#include "app/TaskbarKeeper.h"
#include "app/Windows.h"
#include "board/content/PictureColumn.h"
#include "board/tools/CursorFile.h"
#include "lessons/CaptureModeChoice.h"

#include <QSize>
#include <QString>
#include <QWindow>
#include <memory>

class AdministratorPassword;
class BoardBackup;
class BoardModel;
class ClipArtPalette;
class DocumentOpener;
class FolderImport;
class LessonChoice;
class LessonTransfer;
class OverlayModel;
class PasswordChange;
class PictureImportSession;
class RecoveryFolder;
class ScanSession;
class TeacherSettings;
class TextLinePanelModel;
class ThumbnailStripModel;
struct Platform;

// Where the program's files are: what is delivered beside the program file (cursor files,
// programs it starts) and where it writes its own files (page texts, "tmp.bmt"). Both end with
// "/"; they are the same directory unless the program's own cannot be written. The state
// directory ($XDG_STATE_HOME/zkalto/) holds the board's backup (RecoveryFolder); without one the
// board keeps none.
struct ProgramDirectories {
    QString delivered;
    QString written;
    QString state;
};

// The running program: its hidden application window, the board model with the models of the
// board's palette and thumbnail strip, the application's cursor slots and every window, created
// once in the fixed start-up order. It carries out what one window
// asks of another, and the start-up and exit steps.
class Program {
public:
    Program(Platform& platform, QSize screenSize, const ProgramDirectories& directories);
    ~Program();

    const Windows& windows() const { return m_windows; }
    BoardModel& board() { return *m_board; }
    // The board's clip-art palette (Panel9) and thumbnail strip (Panel5).
    ClipArtPalette& palette() { return *m_palette; }
    ThumbnailStripModel& thumbnails() { return *m_thumbnails; }
    OverlayModel& overlay() { return *m_overlay; }
    TeacherSettings& teachers() { return *m_teachers; }
    LessonChoice& lessonChoice() { return *m_lessonChoice; }
    // Scanning, which the content panel's scan button starts.
    ScanSession& scanSession() { return *m_scanSession; }
    // The board palette's picture column, the imports that fill it and the import window's
    // session, whose fillColumn() answers the palette when it shows the column unfilled.
    PictureColumn& pictureColumn() { return m_pictureColumn; }
    FolderImport& folderImport() { return *m_folderImport; }
    PictureImportSession& pictureImport() { return *m_pictureImport; }
    TextLinePanelModel& textLinePanel() { return *m_textLinePanel; }
    // Where the overlay puts its captures, as chosen in the settings window.
    CaptureModeChoice& captureModeChoice() { return m_captureModeChoice; }
    const TaskKeyBlock& taskKeyBlock() const { return m_taskKeyBlock; }
    // The board's backup: none before startBackup() and after the exit steps.
    BoardBackup* backup() { return m_backup.get(); }
    // True when another copy was found running: this copy ends without running.
    bool endRequested() const { return m_endRequested; }

    // Once the toolbar shows: a board a crash left behind is offered back ("是否恢复？"; yes
    // restores it and opens the board, no moves it aside), then the board keeps its backup.
    void startBackup();

    // What "退出" answered Yes does before the toolbar closes: the taskbar and the task keys are
    // given back, the page text files deleted and the board's backup removed. They run once,
    // however the program ends.
    void runExitSteps();
    // Ended from outside (a signal, the X connection lost): the exit steps run and the program
    // ends whatever window is open, every window closed without its question.
    void endFromOutside();

private:
    void createWindows(QSize screenSize);
    // The toolbar's creation: the colour depth, the walk of the desktop's windows, no taskbar
    // button, the home place, the task keys.
    void startToolbar();
    // The settings window's creation: the settings file is found, the teacher list and the
    // default section read, and the default section's personal settings go to the board.
    void createSettingsWindows();
    void applyStartupSettings();
    void connectWindows();
    void openBoard();
    void openOverlay();
    void leaveOverlay();
    void openTextLinePanel();
    void comeBackFromBoard();
    void closeShade();
    void showScanBusy(bool busy);
    // The settings button window stands under the palette's scroll box while the column shows.
    void placeSettingsButton(bool shown, QPoint topLeft);
    void offerRecovery();

    Platform& m_platform;
    ProgramDirectories m_directories;
    QWindow m_applicationWindow;
    CursorSlots m_cursors;
    TaskbarKeeper m_taskbarKeeper;
    FullScreenKeeper m_fullScreenKeeper;
    TaskKeyBlock m_taskKeyBlock;
    std::unique_ptr<BoardModel> m_board;
    // Lives as long as the program: the board's palette shows it, the imports fill it.
    PictureColumn m_pictureColumn;
    std::unique_ptr<ClipArtPalette> m_palette;
    std::unique_ptr<ThumbnailStripModel> m_thumbnails;
    std::unique_ptr<DocumentOpener> m_documents;
    std::unique_ptr<OverlayModel> m_overlay;
    // The window the overlay brings to the front when the teacher goes back to the desktop.
    quint64 m_returnWindow = 0;
    std::unique_ptr<TeacherSettings> m_teachers;
    CaptureModeChoice m_captureModeChoice;
    std::unique_ptr<AdministratorPassword> m_administrator;
    std::unique_ptr<LessonChoice> m_lessonChoice;
    std::unique_ptr<LessonTransfer> m_lessonTransfer;
    std::unique_ptr<PasswordChange> m_passwordChange;
    std::unique_ptr<ScanSession> m_scanSession;
    std::unique_ptr<FolderImport> m_folderImport;
    std::unique_ptr<PictureImportSession> m_pictureImport;
    std::unique_ptr<TextLinePanelModel> m_textLinePanel;
    std::unique_ptr<RecoveryFolder> m_recovery;
    std::unique_ptr<BoardBackup> m_backup;
    Windows m_windows;
    bool m_endRequested = false;
    bool m_exitStepsRun = false;
};
