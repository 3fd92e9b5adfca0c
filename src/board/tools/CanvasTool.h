#pragma once

#include "board/tools/Canvas.h"
#include "board/tools/Stroke.h"

#include <QPoint>
#include <QString>
#include <optional>

// What a move did beyond drawing: the measurement readout of a shape, and whether ink went down.
struct ToolMove {
    std::optional<QString> readout;
    bool inked = false;
};

// A drawing tool: press, move and release in screen coordinates on a canvas, with the stroke it
// shares with the other tools of its set. Ink goes straight onto the screen image while the
// pointer moves; by default the release keeps the committed picture as the undo snapshot and
// commits the area around the stroke from the screen. Tools know nothing of pages or panels.
class CanvasTool {
public:
    // What a release copies from the screen around the stroke box.
    static constexpr int commitMargin = 10;

    virtual ~CanvasTool() = default;

    virtual void press(Stroke& stroke, Canvas& canvas, QPoint point);
    // A move with the left button held; the point is already kept below the canvas's first row and
    // the stroke box grown to it.
    virtual ToolMove move(Stroke& stroke, Canvas& canvas, QPoint point) = 0;
    virtual void release(Stroke& stroke, Canvas& canvas, QPoint point);

protected:
    // The stroke box pulled clear of the canvas's keep-out panels.
    static void keepClear(Stroke& stroke, const Canvas& canvas);
    // How far beyond the stroke box the release commits.
    virtual int releaseMargin(const Stroke&) const { return commitMargin; }
};
