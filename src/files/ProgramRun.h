#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// One run of a program, as the system names it: the process number and the moment the process
// started, in clock ticks since the machine booted. Together they name the run even after the
// number has gone to another process, so files that belong to a run can be told from those of a
// run that has ended (killed, or the machine switched off).
struct ProgramRun {
    qint64 processId = 0;
    quint64 startTicks = 0;

    // This program's run.
    static ProgramRun current();
    // The run that a name made by name() stands for.
    static std::optional<ProgramRun> fromName(QStringView name);
    // When this program's run started, to the second.
    static QDateTime currentStartTime();

    // "<process>-<start>", for a file name.
    QString name() const;
    // Whether the process with this number still is this run.
    bool isRunning() const;

    friend bool operator==(const ProgramRun&, const ProgramRun&) = default;
};
