#pragma once

#include "board/pixels/NamedColours.h"

#include <QtGlobal>

// The colour of the content panel's text box follows the page's background, so the text panel
// reads as part of the page; dark backgrounds give a dark grey box, the grey background a lighter
// grey. Colours are 0x00BBGGRR numbers.
namespace TextPanelColour {

inline constexpr quint32 greyBackground = NamedColours::standardGrey;
inline constexpr quint32 onGrey = 10855845;
inline constexpr quint32 onDark = 6447714;

// For a background colour chosen on the board.
inline quint32 forBackground(quint32 background)
{
    if (background == 0 || background == 64 || background == 4194368)
        return onDark;
    if (background == greyBackground)
        return onGrey;
    return background;
}

// At start-up, from the background of the personal settings: only the grey one has its own colour.
inline quint32 atStart(quint32 background)
{
    return background == greyBackground ? onGrey : background;
}

// After a page turn: the grey swatch decides, otherwise the new page's own background.
inline quint32 afterPageTurn(quint32 swatch, quint32 pageBackground)
{
    return swatch == greyBackground ? onGrey : pageBackground;
}

// After a page is picked from the thumbnails: the new page's own background decides.
inline quint32 afterPagePick(quint32 pageBackground)
{
    return pageBackground == greyBackground ? onGrey : pageBackground;
}

} // namespace TextPanelColour
