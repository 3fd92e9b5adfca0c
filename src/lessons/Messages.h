#pragma once

#include <QString>

#include <cerrno>
#include <cstring>

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
// Opening a lesson that is not in the lesson store.
inline QString fileNotFound()
{
    return QStringLiteral("系统找不到指定的文件！");
}
// A lesson file could not be written: the disk is full, it cannot be written at all, or another
// reason the system names (error is an errno value). The lesson was not saved, and the lesson saved
// before under that name is as it was.
inline QString lessonFileRefused(const QString& path, int error)
{
    QString reason;
    if (error == ENOSPC || error == EDQUOT || error == EFBIG)
        reason = QStringLiteral("磁盘已满");
    else if (error == EROFS || error == EACCES || error == EPERM)
        reason = QStringLiteral("磁盘是只读的或不允许写入");
    else
        reason = QString::fromLocal8Bit(std::strerror(error));
    return QStringLiteral("无法写入文件 %1：%2。课程没有保存，原来的课程保持不变。")
        .arg(path, reason);
}
// The drive chosen for the lesson store is not on this machine (a disk that was taken out).
inline QString driveMissing(QChar letter)
{
    return QStringLiteral("找不到盘区 %1，课程没有保存。").arg(letter);
}
// A lesson name that cannot name the lesson's files.
inline QString lessonNameUnusable()
{
    return QStringLiteral("课程名称不能用作文件名！");
}
// A write the file system refused; the path of the file stands in the message.
inline QString unableToWrite(const QString& path)
{
    return QStringLiteral("Unable to write to %1").arg(path);
}

} // namespace Messages
