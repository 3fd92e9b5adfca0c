#pragma once

#include "platform/Launcher.h"

#include <QList>
#include <QStringList>

// A launcher for tests: records each program it is asked to start, with the directory searched
// first, and each document it is asked to open. Nothing is started.
class FakeLauncher final : public Launcher {
public:
    struct StartedProgram {
        QString fileName;
        QString firstDirectory;
    };

    void setStartSucceeds(bool succeeds) { m_startSucceeds = succeeds; }
    void setOpenSucceeds(bool succeeds) { m_openSucceeds = succeeds; }
    QList<StartedProgram> startedPrograms() const { return m_startedPrograms; }
    QStringList openedDocuments() const { return m_openedDocuments; }

    bool startProgram(const QString& fileName, const QString& firstDirectory) override {
        m_startedPrograms.append({fileName, firstDirectory});
        return m_startSucceeds;
    }
    bool openDocument(const QString& path) override {
        m_openedDocuments.append(path);
        return m_openSucceeds;
    }

private:
    bool m_startSucceeds = true;
    bool m_openSucceeds = true;
    QList<StartedProgram> m_startedPrograms;
    QStringList m_openedDocuments;
};
