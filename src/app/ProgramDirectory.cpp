#include "app/ProgramDirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace ProgramDirectory {

QString ofExecutable()
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/');
}

bool isInstalled(const QString& directory)
{
    return directory.startsWith(QLatin1String("/usr/"));
}

QString writable()
{
    const QString beside = ofExecutable();
    // Trying a file is the only sure test: permission bits do not tell about read-only mounts.
    QTemporaryFile probe(beside + QStringLiteral("zkalto-write-test-XXXXXX"));
    if (!isInstalled(beside) && probe.open())
        return beside;
    const QString work = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                         QStringLiteral("/zkalto/work/");
    QDir().mkpath(work);
    return work;
}

QString state()
{
    // The base directory specification ignores a relative path in the variable.
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/zkalto/");
}

} // namespace ProgramDirectory
