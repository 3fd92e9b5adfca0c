#pragma once

#include <QString>

// Where the program keeps the files it writes beside itself (page texts, "tmp.bmt"): the directory
// of the program file, or, when that cannot be written or is an installed one, a working directory
// of the user's own ($XDG_DATA_HOME/zkalto/work/). The text ends with "/".
namespace ProgramDirectory {

QString ofExecutable();
// Whether a program directory was installed into the system's read-only tree (/usr): it is never
// written, also not by root (kiosk set-ups run the program as root), so a package's files stay as
// delivered and removing the package leaves nothing behind.
bool isInstalled(const QString& directory);
QString writable();
// Where the program keeps its state between runs (the board's backup): $XDG_STATE_HOME/zkalto/,
// by default ~/.local/state/zkalto/. The text ends with "/".
QString state();

} // namespace ProgramDirectory
