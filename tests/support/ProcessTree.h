#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QString>

// The processes a test or benchmark watches, as /proc shows them.
namespace ProcessTree {

inline bool isRunning(qint64 pid)
{
    return pid > 0 && QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid));
}

// A process and every process it started, and they theirs: the children of each of its threads,
// since a process started from another thread than the first is listed under that thread.
inline QList<qint64> of(qint64 pid)
{
    QList<qint64> tree{pid};
    for (qsizetype next = 0; next < tree.size(); ++next) {
        const QString tasks = QStringLiteral("/proc/%1/task").arg(tree.at(next));
        for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile children(tasks + QLatin1Char('/') + task + QStringLiteral("/children"));
            if (!children.open(QIODevice::ReadOnly))
                continue;
            for (const QByteArray& child : children.readAll().split(' '))
                if (!child.trimmed().isEmpty())
                    tree << child.trimmed().toLongLong();
        }
    }
    return tree;
}

} // namespace ProcessTree
