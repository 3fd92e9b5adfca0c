#include "lessons/TeacherSettings.h"

#include "lessons/Messages.h"
#include "lessons/PasswordScramble.h"
#include "lessons/TeacherName.h"

#include <algorithm>

namespace {

// Section "tec": the teacher list and the lesson drive.
const QString listSection = QStringLiteral("tec");
const QString countKey = QStringLiteral("mum");
const QString defaultSectionKey = QStringLiteral("te0");
const QString driveKey = QStringLiteral("drive");
const QString pictureFolderKey = QStringLiteral("dcu");
// The settings of the default entry "默认" and the start-up settings.
const QString defaultSection = QStringLiteral("教师0");
const QString defaultEntry = QStringLiteral("默认");

// A damaged count must not stall the start; no classroom list holds this many teachers.
constexpr int mostTeachers = 1000;

int countWithinLists(int count)
{
    return std::clamp(count, 0, TeacherSettings::largestCount);
}

QString teacherKey(int n)
{
    return QStringLiteral("te%1").arg(n);
}

QString defaultTeacherName(int n)
{
    return QStringLiteral("教师%1").arg(n);
}

} // namespace

TeacherSettings::TeacherSettings(SettingsLocation location)
    : m_location(std::move(location)), m_file(m_location.filePath())
{
    const ProfileDocument settings = m_file.load();
    m_lessonDrive = m_location.driveLetter;
    const QString drive = settings.readString(listSection, driveKey, m_location.driveLetter);
    if (!drive.isEmpty())
        m_lessonDrive = drive.front().toUpper();
    m_teachers = QStringList{defaultEntry} + storedTeachers(settings);
    loadSection(settings, settings.readString(listSection, defaultSectionKey, defaultSection),
                false);
    m_startup = m_personal;
}

QStringList TeacherSettings::storedTeachers(const ProfileDocument& settings)
{
    const int count = std::min(settings.readInteger(listSection, countKey, 1), mostTeachers);
    QStringList teachers;
    for (int n = 1; n <= count; ++n)
        teachers << settings.readString(listSection, teacherKey(n), defaultTeacherName(n));
    return teachers;
}

void TeacherSettings::loadSection(const ProfileDocument& settings, const QString& section,
                                  bool withPassword)
{
    m_volumeCount = countWithinLists(settings.readInteger(section, QStringLiteral("ce"), 1));
    m_lessonCount = countWithinLists(settings.readInteger(section, QStringLiteral("ke"), 1));
    m_personal.penColour = quint32(settings.readInteger(section, QStringLiteral("frn"),
                                                        int(PersonalSettings::defaultPenColour))) &
                           0xFFFFFF;
    m_personal.backgroundColour =
        quint32(settings.readInteger(section, QStringLiteral("blk"),
                                     int(PersonalSettings::defaultBackgroundColour))) &
        0xFFFFFF;
    m_personal.width = PersonalSettings::widthFromText(
        settings.readString(section, QStringLiteral("bh"), QStringLiteral("2")));
    if (withPassword)
        m_storedPassword = settings.readString(section, QStringLiteral("ma"), QStringLiteral("0"));
}

bool TeacherSettings::writeTeacherList(ProfileDocument& settings, const QStringList& teachers)
{
    if (!settings.writeInteger(listSection, countKey, int(teachers.size()) - 1))
        return false;
    for (int n = 1; n < teachers.size(); ++n)
        if (!settings.writeString(listSection, teacherKey(n), teachers[n]))
            return false;
    return true;
}

bool TeacherSettings::writeSectionSettings(ProfileDocument& settings, const QString& section,
                                           bool withPassword) const
{
    return settings.writeInteger(section, QStringLiteral("ce"), m_volumeCount) &&
           settings.writeInteger(section, QStringLiteral("ke"), m_lessonCount) &&
           settings.writeInteger(section, QStringLiteral("frn"), int(m_personal.penColour)) &&
           settings.writeInteger(section, QStringLiteral("blk"),
                                 int(m_personal.backgroundColour)) &&
           settings.writeString(section, QStringLiteral("bh"), m_personal.width) &&
           (!withPassword || settings.writeString(section, QStringLiteral("ma"), m_storedPassword));
}

QString TeacherSettings::saved(const ProfileDocument& settings, bool written) const
{
    return written && settings.save() ? QString() : m_file.writeFailure();
}

void TeacherSettings::setCurrentTeacherName(const QString& name)
{
    if (name == m_name)
        return;
    m_name = name;
    emit changed();
}

QString TeacherSettings::currentSection() const
{
    return m_name.isEmpty() ? defaultSection : m_name;
}

QString TeacherSettings::pictureFolder() const
{
    return m_file.readString(currentSection(), pictureFolderKey, QString());
}

QString TeacherSettings::storePictureFolder(const QString& folder)
{
    return m_file.writeString(currentSection(), pictureFolderKey, folder) ? QString()
                                                                          : m_file.writeFailure();
}

void TeacherSettings::setVolumeCount(int count)
{
    m_volumeCount = countWithinLists(count);
    emit changed();
}

void TeacherSettings::setLessonCount(int count)
{
    m_lessonCount = countWithinLists(count);
    emit changed();
}

void TeacherSettings::setLessonDrive(QChar letter)
{
    m_lessonDrive = letter.toUpper();
    emit changed();
}

void TeacherSettings::setPenColour(quint32 colour)
{
    m_personal.penColour = colour;
    emit changed();
}

void TeacherSettings::setBackgroundColour(quint32 colour)
{
    m_personal.backgroundColour = colour;
    emit changed();
}

void TeacherSettings::widthUp()
{
    m_personal.widthUp();
    emit changed();
}

void TeacherSettings::widthDown()
{
    m_personal.widthDown();
    emit changed();
}

void TeacherSettings::prepareToShow()
{
    m_unlocked = false;
    m_selected = -1;
    emit changed();
}

TeacherSettings::Choice TeacherSettings::choose(int entry)
{
    if (entry < 0 || entry >= m_teachers.size())
        return Choice::Loaded;
    m_unlocked = false;
    m_selected = entry;
    const QString text = m_teachers[entry];
    const ProfileDocument settings = m_file.load();
    if (settings.readString(text, QStringLiteral("ma"), QStringLiteral("0")) !=
        QLatin1String("0")) {
        emit changed();
        return Choice::PasswordNeeded;
    }
    if (entry == 0) {
        m_name = defaultSection;
    } else {
        m_name = text;
        m_unlocked = true;
    }
    loadSection(settings, m_name, true);
    // The default entry shows and edits the default section with an empty name field.
    if (m_name == defaultSection)
        m_name.clear();
    emit changed();
    return Choice::Loaded;
}

QString TeacherSettings::enterPassword(const QString& digits)
{
    if (m_selected < 0)
        return {};
    const QString text = m_teachers[m_selected];
    const ProfileDocument settings = m_file.load();
    if (PasswordScramble::scrambled(digits) !=
        settings.readString(text, QStringLiteral("ma"), QStringLiteral("0"))) {
        m_name.clear();
        m_selected = -1;
        emit changed();
        return Messages::wrongPassword();
    }
    m_unlocked = true;
    m_name = text;
    loadSection(settings, m_name, true);
    emit changed();
    return {};
}

void TeacherSettings::cancelPassword()
{
    m_name.clear();
    m_selected = -1;
    emit changed();
}

QString TeacherSettings::add()
{
    if (const QString problem = TeacherName::problem(m_name); !problem.isEmpty())
        return problem;
    if (m_teachers.contains(m_name))
        return Messages::nameInList();
    m_teachers.append(m_name);
    emit changed();
    return {};
}

QString TeacherSettings::requireUnlocked() const
{
    return m_unlocked ? QString() : Messages::chooseTeacher();
}

QString TeacherSettings::rename()
{
    if (!m_unlocked)
        return Messages::chooseTeacher();
    // The default entry keeps its name; after "删除" no entry is selected to act on.
    if (m_selected <= 0)
        return {};
    if (const QString problem = TeacherName::problem(m_name); !problem.isEmpty())
        return problem;
    for (int i = 0; i < m_teachers.size(); ++i)
        if (i != m_selected && m_teachers[i] == m_name)
            return Messages::nameInList();
    m_teachers[m_selected] = m_name;
    emit changed();
    // The old section stays in the file; the new one gets the settings and the password.
    ProfileDocument settings = m_file.load();
    return saved(settings, writeSectionSettings(settings, m_name, true));
}

QString TeacherSettings::remove()
{
    if (!m_unlocked)
        return Messages::chooseTeacher();
    if (m_selected <= 0)
        return {};
    QStringList remaining = m_teachers;
    remaining.removeAt(m_selected);
    // The section and the list's entry go together, or neither does.
    ProfileDocument settings = m_file.load();
    const bool written =
        settings.eraseSection(m_teachers[m_selected]) && writeTeacherList(settings, remaining);
    if (const QString failure = saved(settings, written); !failure.isEmpty())
        return failure;
    m_teachers = remaining;
    m_selected = -1;
    m_name.clear();
    emit changed();
    return {};
}

QString TeacherSettings::changePersonalPassword(const QString& oldDigits, const QString& newDigits,
                                                const QString& repeatDigits)
{
    // The window is not modal: the list may have changed under it since it was opened.
    if (!m_unlocked || m_selected <= 0)
        return Messages::chooseTeacher();
    const QString section = m_teachers[m_selected];
    ProfileDocument settings = m_file.load();
    const QString stored = settings.readString(section, QStringLiteral("ma"), QStringLiteral("0"));
    if (PasswordScramble::scrambled(oldDigits) != stored && !stored.startsWith(QLatin1Char(' ')))
        return Messages::wrongOldPassword();
    if (newDigits != repeatDigits)
        return Messages::newPasswordsDiffer();
    const QString scrambled = PasswordScramble::scrambled(newDigits);
    if (const QString failure =
            saved(settings, settings.writeString(section, QStringLiteral("ma"), scrambled));
        !failure.isEmpty())
        return failure;
    m_storedPassword = scrambled;
    emit changed();
    return {};
}

TeacherSettings::Confirmation TeacherSettings::confirm()
{
    QString name = m_selected >= 0 ? m_teachers[m_selected] : m_name;
    if (name == defaultEntry)
        name.clear();
    if (!name.isEmpty())
        if (const QString problem = TeacherName::problem(name); !problem.isEmpty())
            return {false, problem};
    m_name = name;
    emit changed();

    ProfileDocument settings = m_file.load();
    bool written = false;
    if (!m_name.isEmpty()) {
        written =
            writeTeacherList(settings, m_teachers) && writeSectionSettings(settings, m_name, false);
    } else {
        written = settings.writeInteger(listSection, countKey, int(m_teachers.size()) - 1) &&
                  settings.writeString(listSection, defaultSectionKey, defaultSection) &&
                  writeSectionSettings(settings, defaultSection, false);
    }
    written = written && settings.writeString(listSection, driveKey, QString(m_lessonDrive));
    return {true, saved(settings, written)};
}

QString TeacherSettings::storeTeacherListFor(const QString& teacher)
{
    if (teacher.isEmpty())
        return {};
    ProfileDocument settings = m_file.load();
    if (storedTeachers(settings).contains(teacher))
        return {};
    if (!m_teachers.contains(teacher)) {
        m_teachers.append(teacher);
        emit changed();
    }
    return saved(settings, writeTeacherList(settings, m_teachers));
}
