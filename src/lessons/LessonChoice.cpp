#include "lessons/LessonChoice.h"

#include "lessons/TeacherSettings.h"

namespace {

// "减少": the last entry goes; the selection stays at its position if that is still there.
int selectionAfterRemoving(int selected, int remaining)
{
    return selected < remaining ? selected : -1;
}

} // namespace

LessonChoice::LessonChoice(TeacherSettings& teachers, Drives& drives)
    : m_teachers(teachers), m_drivesSource(drives)
{
    connect(&m_teachers, &TeacherSettings::changed, this, &LessonChoice::keepSelectionsInLists);
    refreshDrives();
}

void LessonChoice::keepSelectionsInLists()
{
    const int volume = selectionAfterRemoving(m_selectedVolume, m_teachers.volumeCount());
    const int lesson = selectionAfterRemoving(m_selectedLesson, m_teachers.lessonCount());
    if (volume == m_selectedVolume && lesson == m_selectedLesson)
        return;
    m_selectedVolume = volume;
    m_selectedLesson = lesson;
    emit changed();
}

void LessonChoice::chooseVolume(int entry)
{
    if (entry < 0 || entry >= m_teachers.volumeCount())
        return;
    m_selectedVolume = entry;
    m_volume = QString::number(entry + 1);
    emit changed();
}

void LessonChoice::chooseLesson(int entry)
{
    if (entry < 0 || entry >= m_teachers.lessonCount())
        return;
    m_selectedLesson = entry;
    m_lesson = QString::number(entry + 1);
    emit changed();
}

QString LessonChoice::addVolume()
{
    if (const QString message = m_teachers.requireUnlocked(); !message.isEmpty())
        return message;
    m_teachers.setVolumeCount(m_teachers.volumeCount() + 1);
    return {};
}

QString LessonChoice::removeVolume()
{
    if (const QString message = m_teachers.requireUnlocked(); !message.isEmpty())
        return message;
    const int selected = m_selectedVolume;
    m_teachers.setVolumeCount(m_teachers.volumeCount() - 1);
    m_selectedVolume = selectionAfterRemoving(selected, m_teachers.volumeCount());
    emit changed();
    return {};
}

QString LessonChoice::addLesson()
{
    if (const QString message = m_teachers.requireUnlocked(); !message.isEmpty())
        return message;
    m_teachers.setLessonCount(m_teachers.lessonCount() + 1);
    return {};
}

QString LessonChoice::removeLesson()
{
    if (const QString message = m_teachers.requireUnlocked(); !message.isEmpty())
        return message;
    const int selected = m_selectedLesson;
    m_teachers.setLessonCount(m_teachers.lessonCount() - 1);
    m_selectedLesson = selectionAfterRemoving(selected, m_teachers.lessonCount());
    emit changed();
    return {};
}

QString LessonChoice::lessonName() const
{
    return m_teachers.currentTeacherName() + m_volume + m_lesson;
}

void LessonChoice::refreshDrives()
{
    m_drives = m_drivesSource.list();
    emit changed();
}

QString LessonChoice::driveEntry(const Drive& drive)
{
    const QString letter = QString(drive.letter) + QLatin1Char(':');
    return drive.label.isEmpty() ? letter : letter + QStringLiteral(" [%1]").arg(drive.label);
}

int LessonChoice::chosenDrive() const
{
    for (int i = 0; i < m_drives.size(); ++i)
        if (m_drives[i].letter == m_teachers.lessonDrive())
            return i;
    return -1;
}

void LessonChoice::chooseDrive(int index)
{
    if (index < 0 || index >= m_drives.size())
        return;
    m_teachers.setLessonDrive(m_drives[index].letter);
    emit changed();
}
