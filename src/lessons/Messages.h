#pragma once

#include <QString>

// The messages of the settings and lesson files, the teacher list and the passwords, as the
// teacher reads them.
namespace Messages {

inline QString chooseTeacher()
{
    return QStringLiteral("请选择任课教师！");
}
inline QString enterTeacherName()
{
    return QStringLiteral("请输入教师姓名！");
}
inline QString nameInList()
{
    return QStringLiteral("教师名列表中已存在！");
}
inline QString wrongPassword()
{
    return QStringLiteral("密码错误！");
}
inline QString wrongOldPassword()
{
    return QStringLiteral("原密码错误！");
}
inline QString newPasswordsDiffer()
{
    return QStringLiteral("两次输入的新密码不一致！");
}
// A write the file system refused; the path of the file stands in the message.
inline QString unableToWrite(const QString& path)
{
    return QStringLiteral("Unable to write to %1").arg(path);
}

} // namespace Messages
