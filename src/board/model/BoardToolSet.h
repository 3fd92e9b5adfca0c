#pragma once

#include "board/model/ToolMode.h"
#include "board/tools/FreehandTool.h"
#include "board/tools/RubberBandTool.h"
#include "board/tools/WindowPen.h"

#include <QColor>
#include <QString>

// The board's seven tools over one shared stroke, with the pen and the cursor file each is chosen
// with. Rubber bands on the board wipe five pixels around the stroke box.
class BoardToolSet {
public:
    static constexpr int rubberBandMargin = 5;

    CanvasTool& tool(ToolMode mode);

    // The cursor file each tool shows, looked up by bare name.
    static QString cursorFile(ToolMode mode);
    // The pen a tool is chosen with: the eraser paints in the background colour the window shows,
    // ten stroke widths wide; the boxes of range selection and area erasing are dotted.
    static WindowPen penFor(ToolMode mode, int strokeWidth, const QColor& strokeColour,
                            const QColor& background);
    // Whether the tool draws with the stroke colour, so a new stroke colour reaches its pen.
    static bool usesStrokeColour(ToolMode mode) { return mode != ToolMode::Eraser; }
    // The pen width for a new stroke width.
    static int penWidth(ToolMode mode, int strokeWidth);

private:
    PenTool m_pen;
    LineTool m_line{rubberBandMargin, true};
    ShapeTool m_rectangle{rubberBandMargin, ShapeTool::Shape::Rectangle};
    ShapeTool m_ellipse{rubberBandMargin, ShapeTool::Shape::Ellipse};
    EraserTool m_eraser;
    BoxTool m_rangeSelection{rubberBandMargin, true};
    AreaEraseTool m_areaErase{rubberBandMargin};
};
