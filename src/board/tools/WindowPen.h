#pragma once

#include <QColor>
#include <QPen>

// The pen a board tool draws with on the window: a colour, a width in pixels and solid or dotted.
// Wide solid lines have round ends and joins, so a freehand stroke is one continuous band; the
// dotted pen is always one pixel wide.
struct WindowPen {
    QColor colour = Qt::red;
    int width = 2;
    bool dotted = false;

    QPen toQPen() const
    {
        if (dotted)
            return QPen(colour, 1, Qt::DotLine, Qt::FlatCap, Qt::MiterJoin);
        if (width <= 1)
            return QPen(colour, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
        return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    }

    // How far ink reaches from the path it follows.
    int reach() const { return dotted ? 1 : width / 2 + 1; }
};

// The eraser is ten times as wide as the stroke width, but 15 pixels rather than 10 at width 1.
inline int eraserPenWidth(int strokeWidth)
{
    return strokeWidth == 1 ? 15 : 10 * strokeWidth;
}
