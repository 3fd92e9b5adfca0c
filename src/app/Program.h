#pragma once

#include "app/TaskbarKeeper.h"
#include "app/Windows.h"
#include "board/CursorFile.h"

#include <QSize>
#include <QString>
#include <QWindow>
#include <memory>

struct Platform;

// The running program: its hidden application window, the application's cursor slots and every
// window, created once in the fixed start-up order and wired together.
class Program {
public:
    // programDirectory: where the program writes its own files; deliveredDirectory: the directory
    // of the program file, where the files delivered with it lie (the help document). Both end
    // with "/".
    Program(Platform& platform, QSize screenSize, const QString& programDirectory,
            const QString& deliveredDirectory);
    ~Program();

    const Windows& windows() const { return m_windows; }
    // True when another copy was found running: this copy ends without running.
    bool endRequested() const;

private:
    void createWindows(Platform& platform, QSize screenSize, const QString& programDirectory,
                       const QString& deliveredDirectory);
    void connectWindows();

    QWindow m_applicationWindow;
    CursorSlots m_cursors;
    TaskbarKeeper m_taskbarKeeper;
    Windows m_windows;
};
