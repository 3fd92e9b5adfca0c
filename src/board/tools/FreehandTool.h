#pragma once

#include "board/tools/CanvasTool.h"

// Writing: each move draws a line from the last pointer position to the new one, straight onto
// the screen image.
class PenTool : public CanvasTool {
public:
    ToolMove move(Stroke& stroke, Canvas& canvas, QPoint point) override;
};

// Rubbing out with a wide pen in the background colour. While the canvas has an underlay, the
// eraser instead brings back squares of ten stroke widths from it, right of and below the
// pointer. The commit reaches as far as the eraser's ink, so nothing it wiped on the screen comes
// back when the committed picture is shown again.
class EraserTool : public CanvasTool {
public:
    ToolMove move(Stroke& stroke, Canvas& canvas, QPoint point) override;

protected:
    int releaseMargin(const Stroke& stroke) const override;
};
