#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// A lesson's name is the teacher's name followed by the volume and the lesson number ("李" + "2" +
// "13" = "李213"), so the name alone does not say where the numbers part: "李213" may also be
// volume 21, lesson 3. The teacher is the longest teacher of the list the name starts with (else
// everything before the digits at its end); the numbers are every way to cut those digits into
// two numbers from 1 to 999, and only those within the teacher's volume and lesson counts when
// they are known.
struct LessonNameParts {
    struct Numbers {
        int volume;
        int lesson;
    };
    QString teacher; // empty when the name does not end in digits
    QList<Numbers> numbers;

    // counts: the teacher's volume and lesson counts, or {0, 0} when not known.
    static LessonNameParts split(const QString& name, const QStringList& teachers,
                                 const std::function<Numbers(const QString& teacher)>& counts);
    // "李 第 2 册 第 13 课", or the possible cuts side by side, or "?" when none.
    QString describe() const;
};
