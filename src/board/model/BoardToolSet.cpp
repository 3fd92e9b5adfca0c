#include "board/model/BoardToolSet.h"

CanvasTool& BoardToolSet::tool(ToolMode mode)
{
    switch (mode) {
    case ToolMode::Pen:
        return m_pen;
    case ToolMode::Line:
        return m_line;
    case ToolMode::Rectangle:
        return m_rectangle;
    case ToolMode::Ellipse:
        return m_ellipse;
    case ToolMode::Eraser:
        return m_eraser;
    case ToolMode::RangeSelection:
        return m_rangeSelection;
    case ToolMode::AreaErase:
        return m_areaErase;
    }
    return m_pen;
}

QString BoardToolSet::cursorFile(ToolMode mode)
{
    switch (mode) {
    case ToolMode::Pen:
        return QStringLiteral("Text_Hnd.cut");
    case ToolMode::Line:
        return QStringLiteral("Sonic cross2.cut");
    case ToolMode::Rectangle:
        return QStringLiteral("Sonic cross3.cut");
    case ToolMode::Ellipse:
        return QStringLiteral("prcs_mox1.cut");
    case ToolMode::Eraser:
        return QStringLiteral("Altr_Fsh.cut");
    case ToolMode::RangeSelection:
    case ToolMode::AreaErase:
        return QStringLiteral("prcs_mox2.cut");
    }
    return {};
}

WindowPen BoardToolSet::penFor(ToolMode mode, int strokeWidth, const QColor& strokeColour,
                               const QColor& background)
{
    switch (mode) {
    case ToolMode::Eraser:
        return {background, eraserPenWidth(strokeWidth), false};
    case ToolMode::RangeSelection:
    case ToolMode::AreaErase:
        return {strokeColour, 1, true};
    default:
        return {strokeColour, strokeWidth, false};
    }
}

int BoardToolSet::penWidth(ToolMode mode, int strokeWidth)
{
    return mode == ToolMode::Eraser ? eraserPenWidth(strokeWidth) : strokeWidth;
}
