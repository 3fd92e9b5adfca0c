#pragma once

#include <QByteArray>
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

// A process and every process it started, and they theirs.
inline QList<qint64> of(qint64 pid)
{
    QList<qint64> tree{pid};
    for (qsizetype next = 0; next < tree.size(); ++next) {
        QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(tree.at(next)));
        if (!children.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& child : children.readAll().split(' '))
            if (!child.trimmed().isEmpty())
                tree << child.trimmed().toLongLong();
    }
    return tree;
}

} // namespace ProcessTree
