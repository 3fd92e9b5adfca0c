#include "files/ProgramRun.h"

#include <QFile>

#include <unistd.h>

namespace {

// The start of a process in ticks since boot: field 22 of /proc/<pid>/stat. The process name
// (field 2, in parentheses) may hold spaces and parentheses itself; the fields after its last
// ")" are plain.
std::optional<quint64> startTicksOf(qint64 processId)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(processId));
    if (!stat.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray line = stat.read(4096);
    const qsizetype nameEnd = line.lastIndexOf(')');
    if (nameEnd < 0)
        return std::nullopt;
    const QList<QByteArray> fields = line.mid(nameEnd + 1).simplified().split(' ');
    constexpr int startField = 22 - 3; // the fields after the name begin with field 3
    bool ok = false;
    const quint64 ticks = fields.size() > startField ? fields[startField].toULongLong(&ok) : 0;
    return ok ? std::optional(ticks) : std::nullopt;
}

// The moment the machine booted, in seconds since the epoch ("btime" of /proc/stat).
std::optional<qint64> bootTime()
{
    QFile stat(QStringLiteral("/proc/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Files of /proc tell no size: read to the end rather than asking where it is.
    for (const QByteArray& line : stat.readAll().split('\n')) {
        if (line.startsWith("btime ")) {
            bool ok = false;
            const qint64 seconds = line.mid(6).trimmed().toLongLong(&ok);
            return ok ? std::optional(seconds) : std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace

ProgramRun ProgramRun::current()
{
    const qint64 processId = ::getpid();
    return {processId, startTicksOf(processId).value_or(0)};
}

std::optional<ProgramRun> ProgramRun::fromName(QStringView name)
{
    const qsizetype dash = name.indexOf(u'-');
    if (dash < 0)
        return std::nullopt;
    bool processOk = false;
    bool startOk = false;
    const ProgramRun run{name.first(dash).toLongLong(&processOk),
                         name.sliced(dash + 1).toULongLong(&startOk)};
    if (!processOk || !startOk || run.processId <= 0 || run.name() != name)
        return std::nullopt;
    return run;
}

QDateTime ProgramRun::currentStartTime()
{
    const std::optional<qint64> boot = bootTime();
    const std::optional<quint64> ticks = startTicksOf(::getpid());
    const long ticksPerSecond = ::sysconf(_SC_CLK_TCK);
    // Without /proc the start is not known: nothing counts as older than this run then.
    if (!boot || !ticks || ticksPerSecond <= 0)
        return QDateTime::fromSecsSinceEpoch(0);
    return QDateTime::fromSecsSinceEpoch(*boot + qint64(*ticks / quint64(ticksPerSecond)));
}

QString ProgramRun::name() const
{
    return QStringLiteral("%1-%2").arg(processId).arg(startTicks);
}

bool ProgramRun::isRunning() const
{
    return startTicksOf(processId) == startTicks;
}
