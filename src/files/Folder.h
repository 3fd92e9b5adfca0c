#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Folders the program keeps for itself (this run's page texts, the board's backup), handled
// without following a link: one planted under a folder's name, or inside it, is never followed,
// only removed itself.
namespace Folder {

// The folder's own name for the system's calls: with a "/" at its end a link under the name would
// be followed.
QByteArray nameOf(const QString& path);
// Whether a folder of this user's own is under the name, not a link or anything else.
bool isOwn(const QString& path);
// Removes the entries of a folder (links as links) but those keep() names.
void removeEntries(const QString& path, const std::function<bool(const QString& name)>& keep);
// Removes a folder with the files in it; a link or file under its name is removed itself.
void remove(const QString& path);

} // namespace Folder
