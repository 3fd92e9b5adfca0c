#include "board/store/KeptBytes.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

// A file for reading and writing that no name leads to: O_TMPFILE where the file system has it,
// else a file made under a unique name and unlinked at once. -1 when neither can be made.
int unnamedFileIn(const QString& folder)
{
    const QByteArray path = QFile::encodeName(folder);
    const int descriptor = ::open(path.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (descriptor >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL))
        return descriptor;
    QByteArray name = path + "/kept-XXXXXX";
    const int named = ::mkostemp(name.data(), O_CLOEXEC);
    if (named >= 0)
        ::unlink(name.constData());
    return named;
}

bool writeAll(int descriptor, const QByteArray& bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::pwrite(descriptor, bytes.constData() + done,
                                         size_t(bytes.size() - done), off_t(done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

} // namespace

KeptBytes::File::~File()
{
    if (descriptor >= 0)
        ::close(descriptor);
}

KeptBytes KeptBytes::keep(const QByteArray& bytes, const QString& folder)
{
    KeptBytes kept;
    if (bytes.isEmpty())
        return kept;
    if (bytes.size() <= InMemoryLimit) {
        kept.m_bytes = bytes;
    } else {
        auto file = std::make_shared<File>();
        file->descriptor = unnamedFileIn(folder);
        if (file->descriptor < 0 || !writeAll(file->descriptor, bytes))
            return kept;
        kept.m_file = std::move(file);
    }
    kept.m_size = bytes.size();
    return kept;
}

std::optional<QByteArray> KeptBytes::read() const
{
    return read(0, m_size);
}

std::optional<QByteArray> KeptBytes::read(qsizetype start, qsizetype length) const
{
    Q_ASSERT(start >= 0 && length >= 0 && start + length <= m_size);
    if (!m_file)
        return m_bytes.sliced(start, length);
    QByteArray bytes(length, Qt::Uninitialized);
    for (qsizetype done = 0; done < length;) {
        const ssize_t got = ::pread(m_file->descriptor, bytes.data() + done, size_t(length - done),
                                    off_t(start + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            if (got == 0)
                errno = EIO; // the file is shorter than what was written into it
            return std::nullopt;
        }
        done += got;
    }
    return bytes;
}
