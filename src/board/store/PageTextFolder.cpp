#include "board/store/PageTextFolder.h"

#include "files/FileWrite.h"
#include "files/ProgramRun.h"
#include "files/RegularFile.h"

#include <QDir>
#include <QFile>

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString folderPrefix = QStringLiteral("texts-");

// The folder's own name: with a "/" at its end, a link under the name would be followed.
QByteArray folderName(const QString& path)
{
    QByteArray name = QFile::encodeName(path);
    while (name.size() > 1 && name.endsWith('/'))
        name.chop(1);
    return name;
}

// Removes a folder with the files in it, without following a link: a link under the folder's
// name is removed itself, one inside it likewise.
void removeFolder(const QString& path)
{
    const QByteArray name = folderName(path);
    const int folder = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0) {
        ::unlink(name.constData());
        return;
    }
    if (DIR* entries = ::fdopendir(folder)) {
        while (const dirent* entry = ::readdir(entries))
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                ::unlinkat(folder, entry->d_name, 0);
        ::closedir(entries);
    } else {
        ::close(folder);
    }
    ::rmdir(name.constData());
}

// Removes the folders of runs that have ended.
void removeEndedRuns(const QString& programDirectory)
{
    const QDir directory(programDirectory);
    for (const QString& name : directory.entryList({folderPrefix + QLatin1Char('*')},
                                                   QDir::AllEntries | QDir::System | QDir::Hidden |
                                                       QDir::NoDotAndDotDot)) {
        const auto run = ProgramRun::fromName(QStringView(name).sliced(folderPrefix.size()));
        if (run && !run->isRunning())
            removeFolder(directory.filePath(name));
    }
}

} // namespace

PageTextFolder::PageTextFolder(const QString& programDirectory)
    : m_path(programDirectory + folderPrefix + ProgramRun::current().name() + QLatin1Char('/'))
{
    removeEndedRuns(programDirectory);
}

QString PageTextFolder::pathOf(int n) const
{
    return m_path + QString::number(n);
}

bool PageTextFolder::make() const
{
    const QByteArray name = folderName(m_path);
    if (::mkdir(name.constData(), 0700) == 0)
        return true;
    struct stat status {};
    if (::lstat(name.constData(), &status) != 0)
        return false;
    if (S_ISDIR(status.st_mode) && status.st_uid == ::geteuid())
        return true;
    // Something planted under this run's name: a link, a file, another user's folder.
    removeFolder(m_path);
    return ::mkdir(name.constData(), 0700) == 0;
}

bool PageTextFolder::write(int n, const QByteArray& richText) const
{
    return make() && FileWrite::replace(pathOf(n), richText) == 0;
}

std::optional<QByteArray> PageTextFolder::read(int n) const
{
    // Anyone may have put something else under the page's number: only a regular file is read.
    constexpr qint64 largestPageText = 64 * 1024 * 1024;
    return RegularFile::read(pathOf(n), largestPageText);
}

void PageTextFolder::remove(int n) const
{
    FileWrite::remove(pathOf(n));
}

void PageTextFolder::removeAll() const
{
    removeFolder(m_path);
}
