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
// Why a file could not be written (error is an errno value): the disk is full, it cannot be
// written at all, or the reason the system names.
inline QString writeFailureReason(int error)
{
    if (error == ENOSPC || error == EDQUOT || error == EFBIG)
        return QStringLiteral("磁盘已满");
    if (error == EROFS || error == EACCES || error == EPERM)
        return QStringLiteral("磁盘是只读的或不允许写入");
    return QString::fromLocal8Bit(std::strerror(error));
}
// A lesson file could not be written. The lesson was not saved, and the lesson saved before under
// that name is as it was.
inline QString lessonFileRefused(const QString& path, int error)
{
    return QStringLiteral("无法写入文件 %1：%2。课程没有保存，原来的课程保持不变。")
        .arg(path, writeFailureReason(error));
}
// "导出": the PDF file of the board could not be written; a file of that name stays as it was.
inline QString pdfFileRefused(const QString& path, int error)
{
    return QStringLiteral("无法写入文件 %1：%2。PDF 文件没有导出。")
        .arg(path, writeFailureReason(error));
}
// "导出": the board's pages are in the PDF file.
// The file dialog asked about the name chosen; ".pdf" added to it names another file.
inline QString pdfExists(const QString& path)
{
    return QStringLiteral("文件 %1 已存在，是否替换？").arg(path);
}
inline QString pdfWritten(const QString& path, int pageCount)
{
    return QStringLiteral("已将 %1 页导出到 %2。").arg(pageCount).arg(path);
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
