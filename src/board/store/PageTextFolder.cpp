#include "board/store/PageTextFolder.h"

#include "files/FileWrite.h"
#include "files/Folder.h"
#include "files/ProgramRun.h"
#include "files/RegularFile.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString folderPrefix = QStringLiteral("texts-");

// Removes the folders of runs that have ended.
void removeEndedRuns(const QString& programDirectory)
{
    const QDir directory(programDirectory);
    for (const QString& name : directory.entryList({folderPrefix + QLatin1Char('*')},
                                                   QDir::AllEntries | QDir::System | QDir::Hidden |
                                                       QDir::NoDotAndDotDot)) {
        const auto run = ProgramRun::fromName(QStringView(name).sliced(folderPrefix.size()));
        if (run && !run->isRunning())
            Folder::remove(directory.filePath(name));
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
    const QByteArray name = Folder::nameOf(m_path);
    if (::mkdir(name.constData(), 0700) == 0 || Folder::isOwn(m_path))
        return true;
    // Something planted under this run's name: a link, a file, another user's folder.
    Folder::remove(m_path);
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
    Folder::remove(m_path);
}
