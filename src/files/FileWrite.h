#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QString>

// Writing files under names that anyone may have planted something under: a symbolic link to a
// file elsewhere, a named pipe, a device (a lesson store on a stick, a shared program directory).
// Nothing is ever written through a link or into a special file: new files are created with
// O_CREAT | O_EXCL | O_NOFOLLOW, so a name that is taken is never opened; a whole file is replaced
// by renaming a fresh temporary file over its name, which replaces a link itself, not its target.
// Each call gives the errno value of its failure, 0 when it succeeded, so that a refused write can
// say why: the disk is full, or it is read-only.
namespace FileWrite {

// Replaces a whole file so that a crash, a full disk or a refused write never leaves it cut short
// or half written: a temporary file "<path>.tmp-<random>" beside it, written, flushed, renamed
// over the name, the directory flushed. A regular file keeps its permissions. On failure the old
// file is untouched and no temporary file is left.
int replace(const QString& path, QByteArrayView bytes);
// Writes a file anew under its name: whatever stood under the name (a file, a link) is removed
// first, and the new file is one nobody else can have opened. Nothing is flushed to the disk yet.
int create(const QString& path, QByteArrayView bytes);
// Flushes every file written on the file system that holds directory.
int syncFileSystem(const QString& directory);
// Flushes the directory itself: renames and removals in it reach the disk.
int syncDirectory(const QString& directory);
int rename(const QString& from, const QString& to);
// Renames from over to, first moving what stands under to (a file or a link; a directory stays
// and fails the rename) to aside: a rename over an old file frees its blocks on the spot, the
// slowest thing a file system does with a file, which removing aside later does instead. ENOENT
// when from is not there, and nothing is moved: done again after it succeeded, it changes
// nothing.
int renameMovingAside(const QString& from, const QString& to, const QString& aside);
// Removes a file or a link; a name that is not there is no failure.
int remove(const QString& path);
// Removes the temporary files of replace() beside path that were last written before the given
// time: those of a program killed while it replaced the file.
void removeTemporariesOlderThan(const QString& path, const QDateTime& time);

} // namespace FileWrite
