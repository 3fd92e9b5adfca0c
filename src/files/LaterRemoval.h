#pragma once

#include <QByteArray>

#include <vector>

// Removes files that are only garbage (old versions a save moved aside) on a thread of its own:
// freeing a file's blocks is the slowest thing a file system does with it, and whoever moved the
// file aside need not wait for it. A name that is not there, or cannot be removed, is passed
// over; whoever moves files aside removes what is left of them again the next time. The thread
// finishes its work before the program ends, unless the program is killed.
namespace LaterRemoval {

// Removes the files or links under these names (never a directory), in the background.
void remove(std::vector<QByteArray> names);
// Returns once every removal asked for so far is done.
void waitUntilDone();

} // namespace LaterRemoval
