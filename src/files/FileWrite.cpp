#include "files/FileWrite.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray temporaryMark = ".tmp-";

// Runs a call that returns -1 on failure; 0 or its errno.
template <typename Call> int errorOf(Call call)
{
    return call() < 0 ? errno : 0;
}

int writeAll(int descriptor, QByteArrayView bytes)
{
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(descriptor, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        if (written == 0)
            return ENOSPC;
        data += written;
        left -= written;
    }
    return 0;
}

// Opens a file that did not exist: never a link, a pipe or a file someone else holds open.
int openNew(const QByteArray& name, mode_t mode)
{
    return ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
}

// Writes the bytes into a new file; on failure the file is gone again.
int writeNew(const QByteArray& name, QByteArrayView bytes, bool flush, const struct stat* like)
{
    const int descriptor = openNew(name, 0666);
    if (descriptor < 0)
        return errno;
    int error = 0;
    if (like)
        error = errorOf([&] { return ::fchmod(descriptor, like->st_mode & 07777); });
    if (error == 0)
        error = writeAll(descriptor, bytes);
    if (error == 0 && flush)
        error = errorOf([&] { return ::fsync(descriptor); });
    const int closed = errorOf([&] { return ::close(descriptor); });
    if (error == 0)
        error = closed;
    if (error != 0)
        ::unlink(name.constData());
    return error;
}

// Runs a flush through a descriptor of the directory.
template <typename Flush> int onDirectory(const QString& directory, Flush flush)
{
    const int descriptor =
        ::open(QFile::encodeName(directory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return errno;
    const int error = errorOf([&] { return flush(descriptor); });
    ::close(descriptor);
    return error;
}

} // namespace

namespace FileWrite {

int replace(const QString& path, QByteArrayView bytes)
{
    const QByteArray target = QFile::encodeName(path);
    // The permissions of the file itself, never of what a link under the name points to.
    struct stat old {};
    const bool keepsMode = ::lstat(target.constData(), &old) == 0 && S_ISREG(old.st_mode);
    int error = EEXIST;
    QByteArray temporary;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        temporary =
            target + temporaryMark + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        error = writeNew(temporary, bytes, true, keepsMode ? &old : nullptr);
    }
    if (error == 0)
        error = errorOf([&] { return ::rename(temporary.constData(), target.constData()); });
    if (error != 0) {
        ::unlink(temporary.constData());
        return error;
    }
    return syncDirectory(QFileInfo(path).absolutePath());
}

int create(const QString& path, QByteArrayView bytes)
{
    // Mostly nothing stands under the name: it is removed only when it is in the way, since an
    // unlink holds the directory as a creation does.
    const QByteArray name = QFile::encodeName(path);
    const int error = writeNew(name, bytes, false, nullptr);
    if (error != EEXIST)
        return error;
    if (const int removed = remove(path))
        return removed;
    return writeNew(name, bytes, false, nullptr);
}

int syncFileSystem(const QString& directory)
{
    return onDirectory(directory, [](int descriptor) { return ::syncfs(descriptor); });
}

int syncDirectory(const QString& directory)
{
    return onDirectory(directory, [](int descriptor) { return ::fsync(descriptor); });
}

int rename(const QString& from, const QString& to)
{
    return errorOf([&] {
        return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData());
    });
}

int renameMovingAside(const QString& from, const QString& to, const QString& aside)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    struct stat status {};
    if (::lstat(source.constData(), &status) != 0)
        return errno;
    if (::lstat(target.constData(), &status) == 0 && !S_ISDIR(status.st_mode)) {
        const int error = errorOf(
            [&] { return ::rename(target.constData(), QFile::encodeName(aside).constData()); });
        if (error != 0 && error != ENOENT)
            return error;
    }
    return errorOf([&] { return ::rename(source.constData(), target.constData()); });
}

int remove(const QString& path)
{
    const int error = errorOf([&] { return ::unlink(QFile::encodeName(path).constData()); });
    return error == ENOENT ? 0 : error;
}

void removeTemporariesOlderThan(const QString& path, const QDateTime& time)
{
    // The names as the directory holds them, unsorted and without a look at each file: a lesson
    // store holds thousands of files, and this runs at every open and save.
    const QFileInfo file(path);
    const QByteArray prefix = QFile::encodeName(file.fileName()) + temporaryMark;
    const int directory = ::open(QFile::encodeName(file.absolutePath()).constData(),
                                 O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory < 0)
        return;
    DIR* entries = ::fdopendir(directory);
    if (!entries) {
        ::close(directory);
        return;
    }
    while (const dirent* entry = ::readdir(entries)) {
        if (std::strncmp(entry->d_name, prefix.constData(), size_t(prefix.size())) != 0)
            continue;
        struct stat status {};
        if (::fstatat(directory, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            !S_ISDIR(status.st_mode) && status.st_mtim.tv_sec < time.toSecsSinceEpoch())
            ::unlinkat(directory, entry->d_name, 0);
    }
    ::closedir(entries);
}

} // namespace FileWrite
