#include "files/RegularFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isRegularFile(const QString& path, qint64 maxBytes, bool followLink)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    const int result =
        followLink ? ::stat(name.constData(), &status) : ::lstat(name.constData(), &status);
    return result == 0 && S_ISREG(status.st_mode) && status.st_size <= maxBytes;
}

std::optional<QByteArray> readFile(const QString& path, qint64 maxBytes, bool followLink)
{
    // Looked at before opening: opening a device can have effects of its own.
    if (!isRegularFile(path, maxBytes, followLink))
        return std::nullopt;
    // Without blocking, and looked at again once open, in case the name was swapped meanwhile.
    const int fd =
        ::open(QFile::encodeName(path).constData(),
               O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (followLink ? 0 : O_NOFOLLOW));
    if (fd < 0)
        return std::nullopt;
    std::optional<QByteArray> content;
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        // Room for one byte more than the file holds: filling it means the file grew meanwhile,
        // perhaps past the bound, and it is not read in part.
        QByteArray bytes(qMin<qint64>(status.st_size, maxBytes) + 1, Qt::Uninitialized);
        qint64 total = 0;
        bool failed = false;
        while (total < bytes.size()) {
            const ssize_t got = ::read(fd, bytes.data() + total, size_t(bytes.size() - total));
            if (got < 0 && errno == EINTR)
                continue;
            failed = got < 0;
            if (got <= 0)
                break;
            total += got;
        }
        if (!failed && total < bytes.size()) {
            bytes.truncate(total);
            content = bytes;
        }
    }
    ::close(fd);
    return content;
}

} // namespace

namespace RegularFile {

std::optional<QByteArray> read(const QString& path, qint64 maxBytes)
{
    return readFile(path, maxBytes, false);
}

std::optional<QByteArray> readThroughLink(const QString& path, qint64 maxBytes)
{
    return readFile(path, maxBytes, true);
}

bool isRegular(const QString& path, qint64 maxBytes)
{
    return isRegularFile(path, maxBytes, false);
}

bool isRegularThroughLink(const QString& path, qint64 maxBytes)
{
    return isRegularFile(path, maxBytes, true);
}

} // namespace RegularFile
