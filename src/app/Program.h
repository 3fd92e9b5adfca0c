#pragma once

#include "app/FullScreenKeeper.h"
#include "app/TaskbarKeeper.h"
#include "app/Windows.h"
#include "board/tools/CursorFile.h"

#include <QSize>
#include <QString>
#include <QWindow>
#include <memory>

struct Platform;

// The running program: its hidden application window, the application's cursor slots and every
// window, created once in the fixed start-up order and wired together.
class Program {
public:
    Program(Platform& platform, QSize screenSize, const QString& programDirectory);
    ~Program();

    const Windows& windows() const { return m_windows; }
    // True when another copy was found running: this copy ends without running.
    bool endRequested() const;
    // What ends the program, after "退出" is answered Yes or when it is ended from outside: the
    // taskbar and the task keys are given back, the page text files deleted and the toolbar
    // closed, which stops the event loop.
    void runExitSteps();

private:
    void createWindows(Platform& platform, QSize screenSize, const QString& programDirectory);
    void connectWindows();

    Platform& m_platform;
    QWindow m_applicationWindow;
    CursorSlots m_cursors;
    TaskbarKeeper m_taskbarKeeper;
    FullScreenKeeper m_fullScreenKeeper;
    Windows m_windows;
};
