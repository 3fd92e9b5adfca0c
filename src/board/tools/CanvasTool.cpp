#include "board/tools/CanvasTool.h"

void CanvasTool::press(Stroke& stroke, Canvas&, QPoint point)
{
    stroke.begin(point);
}

void CanvasTool::keepClear(Stroke& stroke, const Canvas& canvas)
{
    StrokeBox& box = stroke.box;
    for (const KeepOut& panel : canvas.keepOut) {
        const QRect& area = panel.area;
        switch (panel.side) {
        case KeepOut::Side::Above:
            box.minY = std::max(box.minY, area.top() + area.height() + commitMargin);
            break;
        case KeepOut::Side::Below:
            box.maxY = std::min(box.maxY, area.top() - commitMargin);
            break;
        case KeepOut::Side::Left:
            box.minX = std::max(box.minX, area.left() + area.width() + commitMargin);
            break;
        }
    }
}

void CanvasTool::release(Stroke& stroke, Canvas& canvas, QPoint)
{
    keepClear(stroke, canvas);
    canvas.commit(stroke.box.grownBy(releaseMargin(stroke)));
}
