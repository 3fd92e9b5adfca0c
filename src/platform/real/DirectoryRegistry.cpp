#include "platform/real/DirectoryRegistry.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

DirectoryRegistry::DirectoryRegistry(QStringList roots) : m_roots(std::move(roots)) {}

QStringList DirectoryRegistry::defaultRoots(const QString& programDirectory)
{
    return {QDir(programDirectory).filePath(QStringLiteral("registry")),
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                QStringLiteral("/zkalto/registry")};
}

bool DirectoryRegistry::canOpen(const QString& classesRootKey) const
{
    static const QRegularExpression separators(QStringLiteral("[\\\\/]"));
    const QStringList parts = classesRootKey.split(separators, Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.contains(QStringLiteral("..")) ||
        parts.contains(QStringLiteral(".")))
        return false;
    const QString relative = parts.join(QLatin1Char('/'));
    for (const QString& root : m_roots) {
        if (QFileInfo::exists(QDir(root).filePath(relative)))
            return true;
    }
    return false;
}
