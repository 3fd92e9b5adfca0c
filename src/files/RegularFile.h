#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Reads a file that the program opens by a fixed name (a page text, a lesson's files, a settings
// file), where anyone may have put something else under that name. Only a regular file reached
// without following a link is read: a symbolic link (whatever it points to), a named pipe, a
// device or a directory gives nothing, as a missing file does, and is never opened in a way that
// could wait. A file larger than the bound gives nothing rather than its beginning.
//
// Files the teacher chose, and those delivered with the program, may be links; the ThroughLink
// forms follow them and keep every other rule.
namespace RegularFile {

std::optional<QByteArray> read(const QString& path, qint64 maxBytes);
std::optional<QByteArray> readThroughLink(const QString& path, qint64 maxBytes);

// For a file that another component opens itself (the web view): whether it is a regular file
// of at most maxBytes now, looked at without opening it.
bool isRegular(const QString& path, qint64 maxBytes);
bool isRegularThroughLink(const QString& path, qint64 maxBytes);

} // namespace RegularFile
