#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstring>

// A memory figure of this process from /proc/self/status, in MiB: "VmRSS:" what is resident now,
// "VmHWM:" the peak since the start (or since the peak was reset); 0 when it cannot be read.
inline double residentMiB(const char* field = "VmRSS:")
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(std::strlen(field))).trimmed().split(' ').first().toDouble() /
                   1024.0;
    return 0;
}
