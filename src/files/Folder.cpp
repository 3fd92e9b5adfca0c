#include "files/Folder.h"

#include <QFile>

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Folder {

QByteArray nameOf(const QString& path)
{
    QByteArray name = QFile::encodeName(path);
    while (name.size() > 1 && name.endsWith('/'))
        name.chop(1);
    return name;
}

bool isOwn(const QString& path)
{
    struct stat status {};
    return ::lstat(nameOf(path).constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::geteuid();
}

namespace {

// Removes the entries of the open folder but those keep() names; takes the descriptor.
void removeEntriesOf(int folder, const std::function<bool(const QString& name)>& keep)
{
    DIR* entries = ::fdopendir(folder);
    if (!entries) {
        ::close(folder);
        return;
    }
    while (const dirent* entry = ::readdir(entries)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0 ||
            (keep && keep(QFile::decodeName(entry->d_name))))
            continue;
        ::unlinkat(folder, entry->d_name, 0);
    }
    ::closedir(entries);
}

int openFolder(const QByteArray& name)
{
    return ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

} // namespace

void removeEntries(const QString& path, const std::function<bool(const QString& name)>& keep)
{
    const int folder = openFolder(nameOf(path));
    if (folder >= 0)
        removeEntriesOf(folder, keep);
}

void remove(const QString& path)
{
    const QByteArray name = nameOf(path);
    const int folder = openFolder(name);
    if (folder < 0) {
        ::unlink(name.constData());
        return;
    }
    removeEntriesOf(folder, {});
    ::rmdir(name.constData());
}

} // namespace Folder
