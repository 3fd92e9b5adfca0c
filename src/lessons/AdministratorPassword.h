#pragma once

#include <QString>

// The administrator password in the file "sxut.dll", a data file (not a library) whose bytes 5000
// to 5011 hold the password: its digits in ASCII, then spaces up to 12 bytes. The password is
// unset when the first of these bytes is a space. No other byte of the file is read or written.
//
// A copy of the file is delivered beside the program. The copy in use is "sxut.dll" in the lesson
// store of the latest open or save of this run, and before that the one in the program directory
// (the per-user working directory when the program directory cannot be written).
class AdministratorPassword {
public:
    static constexpr qint64 offset = 5000;
    static constexpr qint64 length = 12;

    // deliveredCopy: the file beside the program; firstCopy: the copy in use before any lesson
    // store is.
    AdministratorPassword(QString deliveredCopy, QString firstCopy);

    const QString& path() const { return m_path; }
    // An open or a save pointed at a lesson store directory (ending with "/").
    void useLessonStore(const QString& directory);

    // When the copy in use does not exist (a link under its name counts as none), the delivered
    // copy is put there whole, never over another file; the copy can be written even when the
    // delivered one is read-only. A failed copy is not reported.
    void provideCopy() const;

    // The 12 bytes as text up to the first zero byte; empty when the file cannot be read.
    QString read() const;
    // Overwrites the 12 bytes in place, without creating or truncating the file.
    bool write(const QString& password) const;

    // The 12 bytes for a typed password: an empty entry counts as one space, spaces follow, and
    // only the first 12 characters count.
    static QString padded(const QString& typed);

    // The change of the password window: the message that stops it, or empty when the new
    // password was stored.
    QString change(const QString& oldEntry, const QString& newEntry,
                   const QString& repeatEntry) const;

private:
    QString m_delivered;
    QString m_path;
};
