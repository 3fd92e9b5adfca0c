#pragma once

// Names every part of the program shows or looks for.
namespace ProgramNames {

// The program's title: its messages carry it, and its hidden application window is captioned
// with it, by which a second copy of the program is seen.
inline constexpr char title[] = "Z_Kalto";

} // namespace ProgramNames
