#include "lessons/AdministratorPassword.h"

#include "files/FileWrite.h"
#include "files/RegularFile.h"
#include "lessons/Messages.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The delivered file is a few kilobytes.
constexpr qint64 maxFileSize = qint64(1) << 20;

} // namespace

AdministratorPassword::AdministratorPassword(QString deliveredCopy, QString firstCopy)
    : m_delivered(std::move(deliveredCopy)), m_path(std::move(firstCopy))
{
}

void AdministratorPassword::useLessonStore(const QString& directory)
{
    m_path = directory + QStringLiteral("sxut.dll");
}

void AdministratorPassword::provideCopy() const
{
    // A link under the name counts as no copy: it is replaced, never followed.
    const QFileInfo copy(m_path);
    if (copy.exists() && !copy.isSymLink())
        return;
    // Put in place whole, and writable whatever the delivered file's permissions: the password
    // is written into it.
    if (const auto delivered = RegularFile::readThroughLink(m_delivered, maxFileSize))
        FileWrite::replace(m_path, *delivered);
}

QString AdministratorPassword::read() const
{
    const std::optional<QByteArray> file = RegularFile::read(m_path, maxFileSize);
    if (!file || file->size() < offset + length)
        return {};
    QByteArray bytes = file->mid(offset, length);
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    return QString::fromLatin1(bytes);
}

bool AdministratorPassword::write(const QString& password) const
{
    const QByteArray bytes = password.toLatin1().leftJustified(length, ' ', true);
    // Without blocking, never through a link, and into a regular file only: a pipe under the name
    // would wait for a reader.
    const int descriptor = ::open(QFile::encodeName(m_path).constData(),
                                  O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
    if (descriptor < 0)
        return false;
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return false;
    }
    bool ok = ::pwrite(descriptor, bytes.constData(), size_t(length), offset) == length &&
              ::fsync(descriptor) == 0;
    ok = ::close(descriptor) == 0 && ok;
    return ok;
}

QString AdministratorPassword::padded(const QString& typed)
{
    const QString entry = typed.isEmpty() ? QStringLiteral(" ") : typed;
    return (entry + QString(11, QLatin1Char(' '))).left(int(length));
}

QString AdministratorPassword::change(const QString& oldEntry, const QString& newEntry,
                                      const QString& repeatEntry) const
{
    const QString stored = read();
    if (padded(oldEntry) != stored && !stored.startsWith(QLatin1Char(' ')))
        return Messages::wrongOldPassword();
    if (newEntry != repeatEntry)
        return Messages::newPasswordsDiffer();
    if (!write(padded(newEntry)))
        return Messages::unableToWrite(m_path);
    return {};
}
