#pragma once

#include "app/FullScreenKeeper.h"
#include "app/TaskKeyBlock.h"
#include "app/TaskbarKeeper.h"
#include "app/Windows.h"
#include "board/tools/CursorFile.h"

#include <QSize>
#include <QString>
#include <QWindow>
#include <memory>

class BoardModel;
class OverlayModel;
struct Platform;

// Where the program's files are: what is delivered beside the program file (cursor files,
// programs it starts) and where it writes its own files (page texts, "tmp.bmt"). Both end with
// "/"; they are the same directory unless the program's own cannot be written.
struct ProgramDirectories {
    QString delivered;
    QString written;
};

// The running program: its hidden application window, the board model, the application's cursor
// slots and every window, created once in the fixed start-up order. It carries out what one window
// asks of another, and the start-up and exit steps.
class Program {
public:
    Program(Platform& platform, QSize screenSize, const ProgramDirectories& directories);
    ~Program();

    const Windows& windows() const { return m_windows; }
    BoardModel& board() { return *m_board; }
    OverlayModel& overlay() { return *m_overlay; }
    const TaskKeyBlock& taskKeyBlock() const { return m_taskKeyBlock; }
    // True when another copy was found running: this copy ends without running.
    bool endRequested() const { return m_endRequested; }

    // What "退出" answered Yes does before the toolbar closes: the taskbar and the task keys are
    // given back and the page text files deleted. The same steps end the program when it is ended
    // from outside.
    void runExitSteps();

private:
    void createWindows(QSize screenSize);
    // The toolbar's creation: the colour depth, the walk of the desktop's windows, no taskbar
    // button, the home place, the task keys.
    void startToolbar();
    void connectWindows();
    void openBoard();
    void openOverlay();
    void leaveOverlay();
    void openTextLinePanel();
    void comeBackFromBoard();
    void closeShade();

    Platform& m_platform;
    QSize m_screenSize;
    ProgramDirectories m_directories;
    QWindow m_applicationWindow;
    CursorSlots m_cursors;
    TaskbarKeeper m_taskbarKeeper;
    FullScreenKeeper m_fullScreenKeeper;
    TaskKeyBlock m_taskKeyBlock;
    std::unique_ptr<BoardModel> m_board;
    std::unique_ptr<OverlayModel> m_overlay;
    // The window the overlay brings to the front when the teacher goes back to the desktop.
    quint64 m_returnWindow = 0;
    Windows m_windows;
    bool m_endRequested = false;
};
