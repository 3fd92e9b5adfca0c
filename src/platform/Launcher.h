#pragma once

#include <QString>

#include <memory>

// A program the launcher started, watched while this program runs.
class WatchedProgram {
public:
    virtual ~WatchedProgram() = default;
    // True until the process that was started has ended.
    virtual bool running() const = 0;
    // Whether a process belongs to the started program: the process itself or one it started in
    // turn, also after the started process has ended.
    virtual bool owns(qint64 processId) const = 0;
};

// Starts other programs and hands documents to the desktop.
class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts a program file, shown normally, found first in firstDirectory and then on PATH.
    // False when it cannot be found or started.
    virtual bool startProgram(const QString& fileName, const QString& firstDirectory) = 0;
    // Starts a program file as startProgram does and keeps watch of it; nothing when it cannot be
    // found or started.
    virtual std::unique_ptr<WatchedProgram> startWatchedProgram(const QString& fileName,
                                                                const QString& firstDirectory) = 0;
    // Opens a document with the application registered for it.
    virtual bool openDocument(const QString& path) = 0;
};
