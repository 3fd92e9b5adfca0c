#include "RegularFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RegularFile {

bool isRegular(const QString& path, qint64 maxBytes)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISREG(status.st_mode) &&
           status.st_size <= maxBytes;
}

std::optional<QByteArray> read(const QString& path, qint64 maxBytes)
{
    // Looked at before opening: opening a device can have effects of its own.
    if (!isRegular(path, maxBytes))
        return std::nullopt;
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    // Without blocking, and looked at again once open, in case the name was swapped meanwhile.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return std::nullopt;
    std::optional<QByteArray> content;
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

} // namespace RegularFile
