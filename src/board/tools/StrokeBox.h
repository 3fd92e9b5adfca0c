#pragma once

#include "board/pixels/EdgeRect.h"

#include <QPoint>
#include <algorithm>

// The smallest and largest pointer coordinates since the last press on the board. It may be set
// to an inverted box, (10, 10, -10, -10) after a page turn, which undo then treats as it is.
struct StrokeBox {
    int minX = 0;
    int minY = 0;
    int maxX = 0;
    int maxY = 0;

    static StrokeBox at(QPoint p) { return {p.x(), p.y(), p.x(), p.y()}; }

    void grow(QPoint p)
    {
        minX = std::min(minX, p.x());
        minY = std::min(minY, p.y());
        maxX = std::max(maxX, p.x());
        maxY = std::max(maxY, p.y());
    }

    // The edge rectangle (minX - margin, minY - margin, maxX + margin, maxY + margin).
    QRect grownBy(int margin) const
    {
        return edgeRect(minX - margin, minY - margin, maxX + margin, maxY + margin);
    }

    bool operator==(const StrokeBox&) const = default;
};
