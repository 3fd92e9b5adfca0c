#include "board/tools/RubberBandTool.h"

#include "board/pixels/RasterCopy.h"

ToolMove RubberBandTool::move(Stroke& stroke, Canvas& canvas, QPoint point)
{
    if (!shows(stroke, point))
        return {};
    canvas.restore(stroke.box.grownBy(m_restoreMargin));
    return drawShape(stroke, canvas, point);
}

QString RubberBandTool::measurement(QPoint pressPoint, QPoint point)
{
    // Integer division truncates toward zero, then tenths in their shortest decimal form.
    const double across = ((point.x() - pressPoint.x()) / 2) / 10.0;
    const double down = ((point.y() - pressPoint.y()) / 2) / 10.0;
    return QString::number(across) + QStringLiteral("，") + QString::number(down);
}

ToolMove LineTool::drawShape(Stroke& stroke, Canvas& canvas, QPoint point)
{
    canvas.screen.drawLine(stroke.pen, stroke.pressPoint, point);
    stroke.penPosition = point;
    if (m_measured)
        return {measurement(stroke.pressPoint, point), true};
    return {std::nullopt, true};
}

ToolMove ShapeTool::drawShape(Stroke& stroke, Canvas& canvas, QPoint point)
{
    if (m_shape == Shape::Rectangle)
        canvas.screen.drawRectangle(stroke.pen, stroke.pressPoint, point);
    else
        canvas.screen.drawEllipse(stroke.pen, stroke.pressPoint, point);
    return {measurement(stroke.pressPoint, point), true};
}

void BoxTool::press(Stroke& stroke, Canvas& canvas, QPoint point)
{
    stroke.pen.width = 1;
    stroke.pen.dotted = true;
    RubberBandTool::press(stroke, canvas, point);
}

bool BoxTool::isRightAndDown(const Stroke& stroke, QPoint point)
{
    return point.x() > stroke.pressPoint.x() && point.y() > stroke.pressPoint.y();
}

bool BoxTool::shows(const Stroke& stroke, QPoint point) const
{
    return !m_onlyRightAndDown || isRightAndDown(stroke, point);
}

ToolMove BoxTool::drawShape(Stroke& stroke, Canvas& canvas, QPoint point)
{
    canvas.screen.drawRectangle(stroke.pen, stroke.pressPoint, point);
    return {};
}

void AreaEraseTool::release(Stroke& stroke, Canvas& canvas, QPoint point)
{
    BoxTool::release(stroke, canvas, point);
    const StrokeBox& box = stroke.box;
    RasterCopy::copy(canvas.screen.image(), box.grownBy(-restoreMargin()), canvas.undoSnapshot,
                     QPoint(box.minX + restoreMargin(), box.minY + restoreMargin()));
    stroke.pen.width = 1;
    stroke.pen.dotted = true;
    // Only a drag to the right and down showed a box; only then is there an area to erase.
    if (!isRightAndDown(stroke, point))
        return;
    const QRect area = box.grownBy(0);
    if (canvas.underlay) {
        canvas.screen.copyFrom(*canvas.underlay, area);
        RasterCopy::copy(*canvas.underlay, area, canvas.committed, area.topLeft());
    } else {
        const QColor background = canvas.screen.backgroundColour();
        canvas.screen.fill(area, background);
        RasterCopy::fill(canvas.committed, area, background);
    }
}

void UnderlayEraseTool::release(Stroke& stroke, Canvas& canvas, QPoint point)
{
    if (canvas.underlay)
        canvas.screen.copyFrom(*canvas.underlay, stroke.box.grownBy(commitMargin));
    BoxTool::release(stroke, canvas, point);
}
