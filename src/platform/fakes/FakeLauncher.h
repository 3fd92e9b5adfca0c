#pragma once

#include "platform/Launcher.h"

#include <QList>
#include <QSet>
#include <QStringList>

#include <memory>

// A launcher for tests: records each program it is asked to start, with the directory searched
// first, and each document it is asked to open. Nothing is started; a watched program runs and
// owns processes as the test says through its state.
class FakeLauncher final : public Launcher {
public:
    // What a watched program reports; the test changes it.
    struct ProgramState {
        bool running = true;
        QSet<qint64> processes;
    };

    struct StartedProgram {
        QString fileName;
        QString firstDirectory;
    };

    void setStartSucceeds(bool succeeds) { m_startSucceeds = succeeds; }
    void setOpenSucceeds(bool succeeds) { m_openSucceeds = succeeds; }
    QList<StartedProgram> startedPrograms() const { return m_startedPrograms; }
    QStringList openedDocuments() const { return m_openedDocuments; }
    // The state of each watched program started, in order.
    QList<std::shared_ptr<ProgramState>> watchedPrograms() const { return m_watched; }

    bool startProgram(const QString& fileName, const QString& firstDirectory) override
    {
        m_startedPrograms.append({fileName, firstDirectory});
        return m_startSucceeds;
    }
    std::unique_ptr<WatchedProgram> startWatchedProgram(const QString& fileName,
                                                        const QString& firstDirectory) override
    {
        m_startedPrograms.append({fileName, firstDirectory});
        if (!m_startSucceeds)
            return nullptr;
        m_watched.append(std::make_shared<ProgramState>());
        return std::make_unique<Program>(m_watched.last());
    }
    bool openDocument(const QString& path) override
    {
        m_openedDocuments.append(path);
        return m_openSucceeds;
    }

private:
    class Program final : public WatchedProgram {
    public:
        explicit Program(std::shared_ptr<ProgramState> state) : m_state(std::move(state)) {}
        bool running() const override { return m_state->running; }
        bool owns(qint64 processId) const override
        {
            return m_state->processes.contains(processId);
        }

    private:
        std::shared_ptr<ProgramState> m_state;
    };

    bool m_startSucceeds = true;
    QList<std::shared_ptr<ProgramState>> m_watched;
    bool m_openSucceeds = true;
    QList<StartedProgram> m_startedPrograms;
    QStringList m_openedDocuments;
};
