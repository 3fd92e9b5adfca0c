#pragma once

#include <QString>

// Where the program keeps the files it writes beside itself (page texts, "tmp.bmt"): the directory
// of the program file, or, when that cannot be written, a working directory of the user's own
// ($XDG_DATA_HOME/zkalto/work/). The text ends with "/".
namespace ProgramDirectory {

QString ofExecutable();
QString writable();
// Where the program keeps its state between runs (the board's backup): $XDG_STATE_HOME/zkalto/,
// by default ~/.local/state/zkalto/. The text ends with "/".
QString state();

} // namespace ProgramDirectory
