#include "lessons/SettingsLocation.h"

#include "files/FileWrite.h"
#include "files/ProgramRun.h"
#include "platform/Drives.h"

#include <QDir>
#include <QFileInfo>

SettingsLocation SettingsLocation::find(Drives& drives)
{
    std::optional<Drive> drive;
    for (QChar letter : {QLatin1Char('E'), QLatin1Char('D')}) {
        drive = drives.find(letter);
        if (drive && drive->kind == DriveKind::Fixed)
            break;
        drive.reset();
    }
    if (!drive)
        drive = drives.find(QLatin1Char('C'));
    SettingsLocation location;
    location.driveLetter = drive ? drive->letter : QLatin1Char('C');
    const QString root = drive ? drive->root : QString();
    location.directory = root + QStringLiteral("Program files/Common files/system/");
    if (!QFileInfo(location.directory).isDir()) {
        for (const char* level :
             {"Program files", "Program files/Common files", "Program files/Common files/system"})
            QDir().mkdir(root + QLatin1String(level));
    }
    // What a run killed while it replaced the settings file left beside it.
    FileWrite::removeTemporariesOlderThan(location.filePath(), ProgramRun::currentStartTime());
    return location;
}
