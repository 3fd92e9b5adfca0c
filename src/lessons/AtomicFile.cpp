#include "lessons/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeAll(int descriptor, QByteArrayView bytes)
{
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(descriptor, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

// A new file beside target, opened for writing, with a name no other file has.
int createTemporary(const QString& target, QByteArray& name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = QFile::encodeName(target) + ".tmp-" +
               QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int descriptor =
            ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST)
            return descriptor;
    }
    return -1;
}

} // namespace

namespace AtomicFile {

bool replace(const QString& path, QByteArrayView bytes)
{
    const QFileInfo info(path);
    const QString target = info.isSymLink() && info.exists() ? info.canonicalFilePath() : path;
    QByteArray temporary;
    const int descriptor = createTemporary(target, temporary);
    if (descriptor < 0)
        return false;
    struct stat old {};
    bool ok = true;
    if (::stat(QFile::encodeName(target).constData(), &old) == 0)
        ok = ::fchmod(descriptor, old.st_mode & 07777) == 0;
    ok = ok && writeAll(descriptor, bytes) && ::fsync(descriptor) == 0;
    ok = ::close(descriptor) == 0 && ok;
    ok = ok && ::rename(temporary.constData(), QFile::encodeName(target).constData()) == 0;
    if (!ok) {
        ::unlink(temporary.constData());
        return false;
    }
    // The rename itself reaches the disk with the directory.
    const int directory = ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(),
                                 O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory >= 0) {
        ::fsync(directory);
        ::close(directory);
    }
    return true;
}

} // namespace AtomicFile
