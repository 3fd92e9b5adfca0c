#pragma once

// The board's drawing tools; the numbers are those its rules use.
enum class ToolMode {
    Pen = 0,
    Line = 1,
    Rectangle = 2,
    Ellipse = 3,
    Eraser = 4,
    RangeSelection = 5,
    AreaErase = 6,
};
