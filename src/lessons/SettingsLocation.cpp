#include "lessons/SettingsLocation.h"

#include "files/FileWrite.h"
#include "files/ProgramRun.h"
#include "platform/Drives.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The settings directory under the drive's root.
const QString systemFolder = QStringLiteral("Program files/Common files/system/");

} // namespace

SettingsLocation SettingsLocation::choose(Drives& drives)
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
    location.directory = root + systemFolder;
    return location;
}

SettingsLocation SettingsLocation::find(Drives& drives)
{
    const SettingsLocation location = choose(drives);
    const QString root = location.directory.chopped(systemFolder.size());
    if (!QFileInfo(location.directory).isDir()) {
        for (const char* level :
             {"Program files", "Program files/Common files", "Program files/Common files/system"})
            QDir().mkdir(root + QLatin1String(level));
    }
    // What a run killed while it replaced the settings file left beside it.
    FileWrite::removeTemporariesOlderThan(location.filePath(), ProgramRun::currentStartTime());
    return location;
}
