#pragma once

#include <QString>

// What may be a teacher's name. A name becomes a section name of the settings file and the
// first part of every lesson file name in the lesson store, so a name that would break the file
// or lead out of the store is refused: "[", "]", "=", "/", "\", line breaks and other control
// characters, a name of dots only, spaces before or after it, characters GBK does not have, a
// name too long for a file name, and the names the settings file keeps for itself ("tec", the
// teacher list, and "教师0", the default section).
namespace TeacherName {

// The message that says why a name cannot be a teacher's; empty when it can.
QString problem(const QString& name);

} // namespace TeacherName
