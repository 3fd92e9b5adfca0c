#include "lessons/PasswordScramble.h"

namespace PasswordScramble {

QString scrambled(const QString& digits)
{
    QString out;
    for (QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            continue;
        const int d = c.unicode() - '0';
        const int factor = d >= 5 ? 156 : d >= 2 ? 139 : 12;
        out += QString::number(d * factor);
    }
    return out.isEmpty() ? QStringLiteral("0") : out;
}

} // namespace PasswordScramble
