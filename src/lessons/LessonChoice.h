#pragma once

#include "platform/Drives.h"

#include <QList>
#include <QObject>
#include <QString>

class TeacherSettings;

// What the settings window's lesson group ("课程选择") chooses, beside the volume and lesson counts
// and the lesson drive that TeacherSettings keeps: the volume and lesson numbers of the two
// read-only fields (initially "1"), the selected entries of the volume and lesson lists (-1 for
// none) and the drives the drive box offers. The lesson name is the current teacher name followed
// by the two numbers.
class LessonChoice : public QObject {
    Q_OBJECT
public:
    LessonChoice(TeacherSettings& teachers, Drives& drives);

    const QString& volumeNumber() const { return m_volume; }
    const QString& lessonNumber() const { return m_lesson; }
    int selectedVolume() const { return m_selectedVolume; }
    int selectedLesson() const { return m_selectedLesson; }
    // A click on an entry copies its text into the field.
    void chooseVolume(int entry);
    void chooseLesson(int entry);
    // "添加" appends the next number, "减少" removes the last entry and keeps the selected
    // position (so nothing is selected when that entry went); both need an unlocked teacher and
    // return "请选择任课教师！" otherwise. The fields keep their numbers.
    QString addVolume();
    QString removeVolume();
    QString addLesson();
    QString removeLesson();

    QString lessonName() const;

    // The drives as the drive box lists them, looked up afresh by refreshDrives.
    const QList<Drive>& drives() const { return m_drives; }
    void refreshDrives();
    // A drive as the box shows it: the letter and the volume label, "E: [课件]".
    static QString driveEntry(const Drive& drive);
    // The position of the lesson drive in drives(), -1 when the machine does not have it (the
    // letter is used all the same).
    int chosenDrive() const;
    void chooseDrive(int index);

signals:
    void changed();

private:
    // The lists are filled anew when a teacher's counts are loaded: a selection beyond them goes.
    void keepSelectionsInLists();

    TeacherSettings& m_teachers;
    Drives& m_drivesSource;
    QString m_volume = QStringLiteral("1");
    QString m_lesson = QStringLiteral("1");
    int m_selectedVolume = -1;
    int m_selectedLesson = -1;
    QList<Drive> m_drives;
};
