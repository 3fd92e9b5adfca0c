#pragma once

#include <QByteArrayView>
#include <QString>

// The file system calls a lesson save is made of, each giving the errno value of its failure (0
// when it succeeded), so that a refused write can say why: the disk is full, or it is read-only.
namespace DiskWrite {

// Creates or truncates the file and writes all bytes. Nothing is flushed to the disk yet.
int write(const QString& path, QByteArrayView bytes);
// Flushes every file written on the file system that holds directory.
int syncFileSystem(const QString& directory);
// Flushes the directory itself: renames and removals in it reach the disk.
int syncDirectory(const QString& directory);
// Replaces a whole small file: temporary file beside it, written, flushed, renamed, directory
// flushed.
int replace(const QString& path, QByteArrayView bytes);
int rename(const QString& from, const QString& to);
// Removes a file; a file that is not there is no failure.
int remove(const QString& path);

} // namespace DiskWrite
