#pragma once

#include <QByteArrayView>
#include <QString>

// Replacing a whole file so that a crash, a full disk or a refused write never leaves it cut
// short or half written: the new content goes to a temporary file beside it, is flushed to the
// disk and renamed over the old file. The old file keeps its content and its permissions until
// the rename; a file that is a symbolic link is replaced at the link's target.
namespace AtomicFile {

// False when any step failed; the old file is then untouched and no temporary file is left.
bool replace(const QString& path, QByteArrayView bytes);

} // namespace AtomicFile
