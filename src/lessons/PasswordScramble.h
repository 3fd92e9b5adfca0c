#pragma once

#include <QString>

// Personal passwords are digits typed on a digit pad and never stored as typed: each digit d, in
// typing order, becomes the decimal text of d × 156 (5 to 9), d × 139 (2 to 4) or d × 12 (0, 1),
// and the texts are joined without separators. An empty entry gives "0", which also means "no
// password" (so does the single digit 0). Characters other than digits are left out.
namespace PasswordScramble {

QString scrambled(const QString& digits);

} // namespace PasswordScramble
