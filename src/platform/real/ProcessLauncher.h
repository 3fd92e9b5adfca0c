#pragma once

#include "platform/Launcher.h"

// Starts program files as separate processes and hands documents to the desktop's handler.
// A program file is looked up in the given directory first, then in each directory of PATH; it
// must be an executable file (a script with a "#!" line will do, whatever its name ends with).
// It runs detached, in the directory it was found in, and outlives this program.
class ProcessLauncher final : public Launcher {
public:
    bool startProgram(const QString& fileName, const QString& firstDirectory) override;
    // The process is watched through a pidfd (kill(pid, 0) on kernels without one). A detached
    // process runs in a new session, so the processes it starts in turn are recognised by it.
    std::unique_ptr<WatchedProgram> startWatchedProgram(const QString& fileName,
                                                        const QString& firstDirectory) override;
    bool openDocument(const QString& path) override;

    // The executable file startProgram would run, or an empty text.
    static QString findProgram(const QString& fileName, const QString& firstDirectory);
};
