#pragma once

#include "platform/Launcher.h"

#include <memory>
#include <vector>

class Desktop;

// Whether the text-line panel's companion program is still there. It is while a process the panel
// started for it runs. A program that hands off to another process and ends (a starter, or a copy
// that passes the work to one already running) is there while a top-level window of a process it
// owns is on the desktop. Every program started in this run is watched until it has neither.
class CompanionWatch {
public:
    explicit CompanionWatch(const Desktop& desktop) : m_desktop(desktop) {}

    // A program started for the panel; nothing when it could not be started.
    void add(std::unique_ptr<WatchedProgram> program);
    // Walks the desktop's windows only when no started process runs any more.
    bool present();

private:
    const Desktop& m_desktop;
    std::vector<std::unique_ptr<WatchedProgram>> m_programs;
};
