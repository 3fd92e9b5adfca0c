#pragma once

#include "lessons/DigitEntry.h"

#include <QObject>

class AdministratorPassword;
class TeacherSettings;

// The password change window's state: the mode set by the button that opened it (a teacher's
// personal password or the administrator password), its three digit fields and which of them
// has the focus, which is the field a digit of the pad goes to: the old-password field, else the
// new-password field, else the repeat field.
class PasswordChange : public QObject {
    Q_OBJECT
public:
    enum class Mode { Personal, Administrator };
    enum class Field { Old, New, Repeat };

    PasswordChange(TeacherSettings& teachers, AdministratorPassword& administrator);

    Mode mode() const { return m_mode; }
    const DigitEntry& field(Field field) const;
    Field focus() const { return m_focus; }

    // Opening the window: the mode, three empty fields and the focus on the old password. In
    // administrator mode the copy of the password file in use is provided first.
    void open(Mode mode);
    // A click on a field empties it and gives it the focus.
    void clickField(Field field);
    void appendDigit(QChar digit);

    // "确定": the message that stops the change (the window stays open), or empty when the new
    // password was stored and the window closes.
    QString confirm();

signals:
    void changed();

private:
    DigitEntry& entry(Field field);

    TeacherSettings& m_teachers;
    AdministratorPassword& m_administrator;
    Mode m_mode = Mode::Personal;
    DigitEntry m_fields[3];
    Field m_focus = Field::Old;
};
