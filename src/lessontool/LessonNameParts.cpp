#include "lessontool/LessonNameParts.h"

#include <algorithm>

namespace {

// A number as the lesson lists write it: 1 to 999, no leading zero.
int numberOf(QStringView digits)
{
    if (digits.isEmpty() || digits.front() == QLatin1Char('0') || digits.size() > 3)
        return 0;
    return digits.toInt();
}

bool allDigits(QStringView text)
{
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

} // namespace

LessonNameParts LessonNameParts::split(const QString& name, const QStringList& teachers,
                                       const std::function<Numbers(const QString& teacher)>& counts)
{
    qsizetype digitsFrom = name.size();
    while (digitsFrom > 0 && allDigits(QStringView(name).sliced(digitsFrom - 1, 1)))
        --digitsFrom;
    LessonNameParts parts;
    if (digitsFrom == name.size() || digitsFrom == 0)
        return parts;
    parts.teacher = name.left(digitsFrom);
    // A teacher of the list whose name ends in digits itself takes them.
    for (const QString& teacher : teachers)
        if (teacher.size() > parts.teacher.size() && teacher.size() < name.size() &&
            name.startsWith(teacher) && allDigits(QStringView(name).sliced(teacher.size())))
            parts.teacher = teacher;
    const QStringView digits = QStringView(name).sliced(parts.teacher.size());
    const Numbers known = counts(parts.teacher);
    for (qsizetype cut = 1; cut < digits.size(); ++cut) {
        const Numbers numbers{numberOf(digits.first(cut)), numberOf(digits.sliced(cut))};
        if (numbers.volume == 0 || numbers.lesson == 0)
            continue;
        if (known.volume > 0 && (numbers.volume > known.volume || numbers.lesson > known.lesson))
            continue;
        parts.numbers << numbers;
    }
    return parts;
}

QString LessonNameParts::describe() const
{
    if (teacher.isEmpty() || numbers.isEmpty())
        return QStringLiteral("?");
    QStringList cuts;
    for (const Numbers& cut : numbers)
        cuts << QStringLiteral("第 %1 册 第 %2 课").arg(cut.volume).arg(cut.lesson);
    return teacher + QLatin1Char(' ') + cuts.join(QStringLiteral(" 或 "));
}
