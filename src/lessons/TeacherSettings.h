#pragma once

#include "lessons/PersonalSettings.h"
#include "lessons/ProfileFile.h"
#include "lessons/SettingsLocation.h"

#include <QObject>
#include <QStringList>

// The state of the settings window and what its teacher group and personal-settings group do to
// it and to the settings file: the teacher list (entry 0 is always "默认"), its selected entry, the
// current teacher name of the name field, whether a teacher is unlocked and that teacher's stored
// (scrambled) password, the volume and lesson counts and the personal settings of the section
// loaded last, and the drive of the lesson store.
//
// Each operation returns the message the teacher must read, empty when there is none; "changed"
// tells the windows to show the state again. Each operation reads the settings file once and
// writes it at most once (one ProfileDocument, saved once), so a teacher's edits by hand take
// effect at the next operation and a refused write leaves the file as it was.
class TeacherSettings : public QObject {
    Q_OBJECT
public:
    enum class Choice { Loaded, PasswordNeeded };
    struct Confirmation {
        bool closes; // false: nothing was done and the window stays open
        QString message;
    };

    // The creation of the settings window: reads the teacher list, the drive of the lesson store
    // and the default section, whose personal settings are the start-up settings.
    explicit TeacherSettings(SettingsLocation location);

    const SettingsLocation& location() const { return m_location; }
    const ProfileFile& settingsFile() const { return m_file; }

    const QStringList& teacherList() const { return m_teachers; }
    // The selected entry of the list, -1 for none.
    int selectedEntry() const { return m_selected; }
    const QString& currentTeacherName() const { return m_name; }
    // The teacher typed into the name field.
    void setCurrentTeacherName(const QString& name);
    bool teacherUnlocked() const { return m_unlocked; }
    const QString& storedPassword() const { return m_storedPassword; }
    // The section that personal settings and the picture folder go to: the current teacher's,
    // or the default section "教师0" when the name field is empty.
    QString currentSection() const;

    // The current section's picture folder, whose pictures fill the board's picture column;
    // empty when none is stored.
    QString pictureFolder() const;
    // Stores it into the current section: the message of a refused write, else empty.
    QString storePictureFolder(const QString& folder);

    // The volume and lesson lists show one entry per number and the fields above them three
    // digits: a count read from a damaged file, or "添加" pressed on and on, stops here.
    static constexpr int largestCount = 999;

    int volumeCount() const { return m_volumeCount; }
    int lessonCount() const { return m_lessonCount; }
    void setVolumeCount(int count);
    void setLessonCount(int count);
    QChar lessonDrive() const { return m_lessonDrive; }
    void setLessonDrive(QChar letter);

    const PersonalSettings& personalSettings() const { return m_personal; }
    void setPenColour(quint32 colour);
    void setBackgroundColour(quint32 colour);
    void widthUp();
    void widthDown();
    // The default section's personal settings as read at creation.
    const PersonalSettings& startupSettings() const { return m_startup; }

    // The board opens the window: no teacher is unlocked and no entry selected.
    void prepareToShow();
    // A click on an entry of the list. PasswordNeeded: the teacher password window must ask.
    Choice choose(int entry);
    // The teacher password window's "确定" with the digits typed, and its "取消".
    QString enterPassword(const QString& digits);
    void cancelPassword();

    // "添加", "修改", "删除" of the teacher group.
    QString add();
    QString rename();
    QString remove();
    // The guard of operations that need an unlocked teacher: "请选择任课教师！" or empty.
    QString requireUnlocked() const;
    // The password change window in personal mode, for the selected teacher.
    QString changePersonalPassword(const QString& oldDigits, const QString& newDigits,
                                   const QString& repeatDigits);
    // "确定" of the settings window: stores the teacher list, the current section's settings and
    // the lesson drive.
    Confirmation confirm();

    // A lesson is saved for this teacher: stores the teacher list when the stored one lacks the
    // teacher (adding the teacher to the list first when even the list lacks it), so that the
    // next start shows the teacher whose lessons are in the store.
    QString storeTeacherListFor(const QString& teacher);

signals:
    void changed();

private:
    void loadSection(const ProfileDocument& settings, const QString& section, bool withPassword);
    static QStringList storedTeachers(const ProfileDocument& settings);
    // The writes of one operation into its document, stopping at the first that is refused.
    static bool writeTeacherList(ProfileDocument& settings, const QStringList& teachers);
    bool writeSectionSettings(ProfileDocument& settings, const QString& section,
                              bool withPassword) const;
    // Saves the operation's writes once: empty, or the message of a refused write.
    QString saved(const ProfileDocument& settings, bool written) const;

    SettingsLocation m_location;
    ProfileFile m_file;
    QStringList m_teachers;
    int m_selected = -1;
    QString m_name;
    bool m_unlocked = false;
    QString m_storedPassword = QStringLiteral("0");
    int m_volumeCount = 1;
    int m_lessonCount = 1;
    QChar m_lessonDrive;
    PersonalSettings m_personal;
    PersonalSettings m_startup;
};
