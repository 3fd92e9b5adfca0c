#pragma once

#include "board/pixels/ColourRef.h"

#include <QColor>

// The colours the program's windows are designed in, as 0x00BBGGRR numbers; ColourRef turns them
// into QColor.
namespace NamedColours {

// The grey of a fresh page and of the classic window face.
inline constexpr quint32 standardGrey = 8421504;
// The board's tool strip. Lighter than the standard grey, so the strip stands apart from a page.
inline constexpr quint32 stripSilver = 0xC0C0C0;
// Button panels of the toolbar, the board and the overlay: red 166, green 202, blue 240.
inline constexpr quint32 skyBlue = 0xF0CAA6;
// The toolbar's own face.
inline constexpr quint32 orange = 33023;
// The board's size readout and the number boxes for width and page.
inline constexpr quint32 readoutBrown = 2713492;
inline constexpr quint32 numberBoxBlue = 14850132;
// The content panel.
inline constexpr quint32 teal = 0x808000;

inline QColor color(quint32 ref)
{
    return ColourRef::toColor(ref);
}

} // namespace NamedColours
