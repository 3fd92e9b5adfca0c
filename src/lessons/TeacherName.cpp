#include "lessons/TeacherName.h"

#include "lessons/Messages.h"
#include "text/Gbk.h"

namespace {

// Lesson files are named by the teacher, the volume, the lesson, the page and an extension; the
// whole must stay within the 255 bytes of a file name.
constexpr qsizetype longestName = 200;

bool isControl(QChar c)
{
    return c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
           c == QChar::ParagraphSeparator;
}

} // namespace

namespace TeacherName {

QString problem(const QString& name)
{
    if (name.isEmpty())
        return Messages::enterTeacherName();
    const bool onlyDots = name.count(QLatin1Char('.')) == name.size();
    const bool spaced = name.front().isSpace() || name.back().isSpace();
    const bool forbidden = std::any_of(name.begin(), name.end(), [](QChar c) {
        return isControl(c) || QStringView(u"[]=/\\").contains(c);
    });
    if (onlyDots || spaced || forbidden)
        return QStringLiteral("教师姓名不能含有 [ ] = / \\ 和控制字符，不能只由点组成，"
                              "前后不能有空格！");
    if (name.compare(QLatin1String("tec"), Qt::CaseInsensitive) == 0 ||
        name == QStringLiteral("教师0"))
        return QStringLiteral("这个名称由系统使用，不能作为教师姓名！");
    if (!Gbk::encode(name))
        return QStringLiteral("教师姓名含有无法保存的字符！");
    if (name.toUtf8().size() > longestName)
        return QStringLiteral("教师姓名太长！");
    return {};
}

} // namespace TeacherName
