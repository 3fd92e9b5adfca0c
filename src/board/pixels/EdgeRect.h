#pragma once

#include <QRect>

// Rectangles of the board's rules are given by their edges (left, top, right, bottom) with the
// right and bottom edge outside the rectangle: (X - 10, Y - 10, X + 10, Y + 10) is 20 x 20.
inline QRect edgeRect(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}
