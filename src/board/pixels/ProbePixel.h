#pragma once

#include "board/pixels/BoardGeometry.h"

#include <QPoint>
#include <QSize>

// Rows 0 to 39 lie under the board's top strip and are never drawn on, except the rightmost column
// which the strip leaves open. The pixel at row 38 of that column keeps the colour a page was
// filled with: it is the page's background colour. Row 37 above it is where a new colour is tried
// out.
namespace ProbePixel {

using BoardGeometry::stripHeight;

inline QPoint background(QSize screen)
{
    return {screen.width() - 1, 38};
}
inline QPoint trial(QSize screen)
{
    return {screen.width() - 1, 37};
}

} // namespace ProbePixel
