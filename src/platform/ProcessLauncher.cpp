#include "ProcessLauncher.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

QString ProcessLauncher::findProgram(const QString& fileName, const QString& firstDirectory) {
    if (fileName.isEmpty())
        return {};
    QStringList directories;
    if (QFileInfo(fileName).isAbsolute())
        directories.append(QString());
    else {
        if (!firstDirectory.isEmpty())
            directories.append(firstDirectory);
        directories +=
            qEnvironmentVariable("PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts);
    }
    for (const QString& directory : directories) {
        const QFileInfo candidate(QDir(directory), fileName);
        if (candidate.isFile() && candidate.isExecutable())
            return candidate.absoluteFilePath();
    }
    return {};
}

bool ProcessLauncher::startProgram(const QString& fileName, const QString& firstDirectory) {
    const QString program = findProgram(fileName, firstDirectory);
    if (program.isEmpty())
        return false;
    QProcess process;
    process.setProgram(program);
    process.setWorkingDirectory(QFileInfo(program).absolutePath());
    return process.startDetached();
}

bool ProcessLauncher::openDocument(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
