#include "lessons/DiskWrite.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

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

int writeFile(const QString& path, QByteArrayView bytes, bool flush)
{
    const int descriptor =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return errno;
    int error = writeAll(descriptor, bytes);
    if (error == 0 && flush)
        error = errorOf([&] { return ::fsync(descriptor); });
    const int closed = errorOf([&] { return ::close(descriptor); });
    return error ? error : closed;
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

namespace DiskWrite {

int write(const QString& path, QByteArrayView bytes)
{
    return writeFile(path, bytes, false);
}

int syncFileSystem(const QString& directory)
{
    return onDirectory(directory, [](int descriptor) { return ::syncfs(descriptor); });
}

int syncDirectory(const QString& directory)
{
    return onDirectory(directory, [](int descriptor) { return ::fsync(descriptor); });
}

int replace(const QString& path, QByteArrayView bytes)
{
    const QString temporary = path + QStringLiteral(".new");
    int error = writeFile(temporary, bytes, true);
    if (error == 0)
        error = rename(temporary, path);
    if (error != 0) {
        remove(temporary);
        return error;
    }
    return syncDirectory(QFileInfo(path).absolutePath());
}

int rename(const QString& from, const QString& to)
{
    return errorOf([&] {
        return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData());
    });
}

int remove(const QString& path)
{
    const int error = errorOf([&] { return ::unlink(QFile::encodeName(path).constData()); });
    return error == ENOENT ? 0 : error;
}

} // namespace DiskWrite
