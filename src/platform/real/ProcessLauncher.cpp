#include "platform/real/ProcessLauncher.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include <cerrno>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// A detached process: watched through a pidfd, which becomes readable when the process ends
// (reaped or not), and recognised with the processes it starts by its session.
class DetachedProcess final : public WatchedProgram {
public:
    explicit DetachedProcess(qint64 pid) : m_pid(pid)
    {
        // -1 on a kernel without pidfds (before 5.3): kill(pid, 0) then stands in.
        m_pidfd = int(syscall(SYS_pidfd_open, pid_t(pid), 0));
        // A detached process runs in a session of its own, which everything it starts shares.
        const pid_t session = getsid(pid_t(pid));
        if (session > 0 && session != getsid(0))
            m_session = session;
    }
    ~DetachedProcess() override
    {
        if (m_pidfd >= 0)
            close(m_pidfd);
    }
    DetachedProcess(const DetachedProcess&) = delete;
    DetachedProcess& operator=(const DetachedProcess&) = delete;

    bool running() const override
    {
        if (m_pidfd >= 0) {
            pollfd watch{m_pidfd, POLLIN, 0};
            return poll(&watch, 1, 0) == 0;
        }
        return kill(pid_t(m_pid), 0) == 0 || errno == EPERM;
    }

    bool owns(qint64 processId) const override
    {
        if (processId <= 0)
            return false;
        if (processId == m_pid)
            return true;
        return m_session > 0 && getsid(pid_t(processId)) == pid_t(m_session);
    }

private:
    qint64 m_pid;
    int m_pidfd = -1;
    qint64 m_session = 0;
};

} // namespace

QString ProcessLauncher::findProgram(const QString& fileName, const QString& firstDirectory)
{
    if (fileName.isEmpty())
        return {};
    QStringList directories;
    if (QFileInfo(fileName).isAbsolute())
        directories.append(QString());
    else {
        if (!firstDirectory.isEmpty())
            directories.append(firstDirectory);
        directories +=
            qEnvironmentVariable("PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts);
    }
    for (const QString& directory : directories) {
        const QFileInfo candidate(QDir(directory), fileName);
        if (candidate.isFile() && candidate.isExecutable())
            return candidate.absoluteFilePath();
    }
    return {};
}

bool ProcessLauncher::startProgram(const QString& fileName, const QString& firstDirectory)
{
    const QString program = findProgram(fileName, firstDirectory);
    if (program.isEmpty())
        return false;
    QProcess process;
    process.setProgram(program);
    process.setWorkingDirectory(QFileInfo(program).absolutePath());
    return process.startDetached();
}

std::unique_ptr<WatchedProgram> ProcessLauncher::startWatchedProgram(const QString& fileName,
                                                                     const QString& firstDirectory)
{
    const QString program = findProgram(fileName, firstDirectory);
    if (program.isEmpty())
        return nullptr;
    QProcess process;
    process.setProgram(program);
    process.setWorkingDirectory(QFileInfo(program).absolutePath());
    qint64 pid = 0;
    if (!process.startDetached(&pid) || pid <= 0)
        return nullptr;
    return std::make_unique<DetachedProcess>(pid);
}

bool ProcessLauncher::openDocument(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
