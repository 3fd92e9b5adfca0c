#pragma once

#include <QRect>
#include <QSize>

#include <algorithm>

// Where the board's fixed parts stand, in screen pixels: the tool strip along the top, and the
// content panel at the left below it, as tall as the screen leaves room for.
namespace BoardGeometry {

// Rows 0 to 39 lie under the strip and are never drawn on.
inline constexpr int stripHeight = 40;
// Panels over the page start one row below the strip.
inline constexpr int panelTop = 41;
inline constexpr int contentPanelWidth = 368;
// The content panel leaves this many rows at the bottom of the screen.
inline constexpr int contentPanelBottomGap = 4;

inline QRect contentPanelBounds(QSize screen)
{
    return {0, panelTop, contentPanelWidth, screen.height() - panelTop - contentPanelBottomGap};
}

inline constexpr int panelTitleBarHeight = 20;
// How much of a panel's title bar stays on the screen, below the strip, wherever the panel goes.
inline constexpr int panelTitleBarKept = 40;

// Where a panel may stand: its title bar within reach, out from under the strip.
inline QRect panelKeptOnScreen(QRect bounds, QSize screen)
{
    bounds.moveLeft(std::clamp(bounds.left(), panelTitleBarKept - bounds.width(),
                               screen.width() - panelTitleBarKept));
    bounds.moveTop(std::clamp(bounds.top(), stripHeight, screen.height() - panelTitleBarHeight));
    return bounds;
}

} // namespace BoardGeometry
