#pragma once

#include "board/tools/StrokeBox.h"
#include "board/tools/WindowPen.h"

#include <QPoint>

// The state of the drag a tool works on: the pen it draws with, where the pointer was pressed and
// last drawn to, and the box around every pointer position since the press. The stroke width is
// the setting the pen was made from (the eraser's pen is wider than it).
struct Stroke {
    WindowPen pen;
    int strokeWidth = 2;
    QPoint pressPoint;
    QPoint penPosition;
    StrokeBox box;

    void begin(QPoint point)
    {
        penPosition = point;
        pressPoint = point;
        box = StrokeBox::at(point);
    }
};
