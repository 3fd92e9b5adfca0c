#include "board/tools/FreehandTool.h"

ToolMove PenTool::move(Stroke& stroke, Canvas& canvas, QPoint point)
{
    canvas.screen.drawLine(stroke.pen, stroke.penPosition, point);
    stroke.penPosition = point;
    return {std::nullopt, true};
}

ToolMove EraserTool::move(Stroke& stroke, Canvas& canvas, QPoint point)
{
    if (canvas.underlay) {
        const int side = 10 * stroke.strokeWidth;
        canvas.screen.copyFrom(*canvas.underlay, QRect(point, QSize(side, side)));
    } else {
        canvas.screen.drawLine(stroke.pen, stroke.penPosition, point);
    }
    stroke.penPosition = point;
    return {};
}

int EraserTool::releaseMargin(const Stroke& stroke) const
{
    return std::max(commitMargin, 10 * stroke.strokeWidth);
}
