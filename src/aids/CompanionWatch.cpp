#include "aids/CompanionWatch.h"

#include "platform/Desktop.h"

#include <algorithm>

void CompanionWatch::add(std::unique_ptr<WatchedProgram> program)
{
    if (program)
        m_programs.push_back(std::move(program));
}

bool CompanionWatch::present()
{
    if (std::any_of(m_programs.begin(), m_programs.end(),
                    [](const auto& program) { return program->running(); }))
        return true;
    const QList<TopLevelWindow> windows = m_desktop.topLevelWindows();
    // A program that has ended without leaving a window is gone for good.
    std::erase_if(m_programs, [&windows](const auto& program) {
        return std::none_of(windows.begin(), windows.end(), [&program](const TopLevelWindow& w) {
            return program->owns(w.processId);
        });
    });
    return !m_programs.empty();
}
