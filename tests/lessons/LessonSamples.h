#pragma once

#include "board/store/PageStore.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

// Lesson pages the tests save and expect back. Page n of a version is made from the two numbers
// alone, so a test and the save it runs in a child process make the same pages: a fill colour,
// a band of noise that only an exact writer keeps, a content kind, panel bounds and a text (none
// on every third page).
namespace LessonSamples {

inline LessonPage page(int version, int n, QSize size)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(QColor((version * 37) % 256, (n * 23) % 256, 77));
    quint32 state = quint32(version * 1000 + n);
    const int bandTop = size.height() / 3;
    for (int y = bandTop; y < bandTop + size.height() / 4; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < size.width() / 2; ++x) {
            state = state * 1664525u + 1013904223u;
            line[x] = 0xFF000000u | (state >> 8);
        }
    }
    const QByteArray text = n % 3 == 0 ? QByteArray()
                                       : "{\\rtf1\\ansi\\ansicpg936 version " +
                                             QByteArray::number(version) + " page " +
                                             QByteArray::number(n) + "\\par}";
    return {picture, ContentKind(n % 3), QRect(n, 41 + version, 368, size.height() - 45), text};
}

// Makes a directory refuse new files: its permissions for an ordinary user, the immutable flag for
// root (whom permissions do not stop). False when neither works here (then the test skips).
inline bool refuseWrites(const QString& directory, bool refuse)
{
    const QByteArray path = QFile::encodeName(directory);
    if (::geteuid() != 0) {
        ::chmod(path.constData(), refuse ? 0555 : 0755);
    } else {
        const int descriptor = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (descriptor < 0)
            return false;
        int flags = 0;
        if (::ioctl(descriptor, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = refuse ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
            ::ioctl(descriptor, FS_IOC_SETFLAGS, &flags);
        }
        ::close(descriptor);
    }
    if (!refuse)
        return true;
    QFile probe(QDir(directory).filePath(QStringLiteral("probe")));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        return false;
    }
    return true;
}

} // namespace LessonSamples
