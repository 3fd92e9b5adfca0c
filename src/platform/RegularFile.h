#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Reads a file that the program opens by a fixed name (a cursor file, a page text), where anyone
// may have put something else under that name. Only a regular file is read (a link is followed):
// a named pipe, a device or a directory gives nothing, and is never opened in a way that could
// wait. A file larger than the bound gives nothing rather than its beginning.
namespace RegularFile {

std::optional<QByteArray> read(const QString& path, qint64 maxBytes);

// For a file that another component opens itself (the web view): whether it is a regular file
// of at most maxBytes now, looked at without opening it.
bool isRegular(const QString& path, qint64 maxBytes);

} // namespace RegularFile
