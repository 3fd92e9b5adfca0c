#pragma once

#include <QChar>
#include <QString>

class Drives;

// Where the settings file "datb.sec" lives: in "Program files/Common files/system/" on the first
// fixed disk of E and D, else on C whatever its kind. Found once, when the settings window is
// created at start-up, and kept for the whole run.
struct SettingsLocation {
    QChar driveLetter; // E, D or C; also the default drive of the lesson store
    QString directory; // the settings directory, ending with "/"

    QString filePath() const { return directory + QStringLiteral("datb.sec"); }

    // Chooses the drive and creates "Program files", "Program files/Common files" and
    // "Program files/Common files/system" on it, in this order, where they are missing. A
    // creation that fails is not reported: the next one is tried all the same.
    static SettingsLocation find(Drives& drives);
    // The drive and directory find() gives, without creating or removing anything.
    static SettingsLocation choose(Drives& drives);
};
