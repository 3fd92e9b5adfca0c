#pragma once

#include <QString>

// Starts other programs and hands documents to the desktop.
class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts a program file, shown normally, found first in firstDirectory and then on PATH.
    // False when it cannot be found or started.
    virtual bool startProgram(const QString& fileName, const QString& firstDirectory) = 0;
    // Opens a document with the application registered for it.
    virtual bool openDocument(const QString& path) = 0;
};
