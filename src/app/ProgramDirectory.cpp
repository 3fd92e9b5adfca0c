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
    // A relative path in the variable is not a place of the user's: it is ignored, as every
    // desktop program ignores it.
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/zkalto/");
}

} // namespace ProgramDirectory
