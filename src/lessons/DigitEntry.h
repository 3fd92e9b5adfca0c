#pragma once

#include <QString>

// The field of a digit pad: digits come only from the pad's buttons, a click on the field empties
// it, and the field shows one "*" for every digit.
class DigitEntry {
public:
    const QString& digits() const { return m_digits; }
    QString shown() const { return QString(m_digits.size(), QLatin1Char('*')); }

    void append(QChar digit)
    {
        if (digit >= QLatin1Char('0') && digit <= QLatin1Char('9'))
            m_digits += digit;
    }
    void clear() { m_digits.clear(); }

private:
    QString m_digits;
};
