#include "lessons/PasswordChange.h"

#include "lessons/AdministratorPassword.h"
#include "lessons/TeacherSettings.h"

PasswordChange::PasswordChange(TeacherSettings& teachers, AdministratorPassword& administrator)
    : m_teachers(teachers), m_administrator(administrator)
{
}

const DigitEntry& PasswordChange::field(Field field) const
{
    return m_fields[int(field)];
}

DigitEntry& PasswordChange::entry(Field field)
{
    return m_fields[int(field)];
}

void PasswordChange::open(Mode mode)
{
    m_mode = mode;
    if (mode == Mode::Administrator)
        m_administrator.provideCopy();
    for (DigitEntry& field : m_fields)
        field.clear();
    m_focus = Field::Old;
    emit changed();
}

void PasswordChange::clickField(Field field)
{
    entry(field).clear();
    m_focus = field;
    emit changed();
}

void PasswordChange::appendDigit(QChar digit)
{
    entry(m_focus).append(digit);
    emit changed();
}

QString PasswordChange::confirm()
{
    const QString& oldDigits = field(Field::Old).digits();
    const QString& newDigits = field(Field::New).digits();
    const QString& repeatDigits = field(Field::Repeat).digits();
    return m_mode == Mode::Personal
               ? m_teachers.changePersonalPassword(oldDigits, newDigits, repeatDigits)
               : m_administrator.change(oldDigits, newDigits, repeatDigits);
}
