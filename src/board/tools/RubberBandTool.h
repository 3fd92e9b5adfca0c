#pragma once

#include "board/tools/CanvasTool.h"

// Tools that show a shape from the press point to the pointer while it moves: each move first
// wipes the last one by restoring the area around the stroke box from the committed picture.
class RubberBandTool : public CanvasTool {
public:
    // restoreMargin: how far around the stroke box each move restores.
    explicit RubberBandTool(int restoreMargin) : m_restoreMargin(restoreMargin) {}

    ToolMove move(Stroke& stroke, Canvas& canvas, QPoint point) override;

    // The readout of a shape dragged from the press point to point: half the pixels, in tenths.
    static QString measurement(QPoint pressPoint, QPoint point);

protected:
    // Draws the shape on the screen image; returns what the move did.
    virtual ToolMove drawShape(Stroke& stroke, Canvas& canvas, QPoint point) = 0;
    // Whether a move to point shows the shape at all.
    virtual bool shows(const Stroke&, QPoint) const { return true; }
    int restoreMargin() const { return m_restoreMargin; }

private:
    int m_restoreMargin;
};

// A straight line from the press point; with a readout when measured.
class LineTool : public RubberBandTool {
public:
    LineTool(int restoreMargin, bool measured) : RubberBandTool(restoreMargin), m_measured(measured)
    {
    }

protected:
    ToolMove drawShape(Stroke& stroke, Canvas& canvas, QPoint point) override;

private:
    bool m_measured;
};

// An outlined rectangle or ellipse between the press point and the pointer, with its readout.
class ShapeTool : public RubberBandTool {
public:
    enum class Shape { Rectangle, Ellipse };
    ShapeTool(int restoreMargin, Shape shape) : RubberBandTool(restoreMargin), m_shape(shape) {}

protected:
    ToolMove drawShape(Stroke& stroke, Canvas& canvas, QPoint point) override;

private:
    Shape m_shape;
};

// A dotted one-pixel box from the press point, as range selection and area erasing show it. A
// box that only follows a drag to the right and down shows nothing for other drags.
class BoxTool : public RubberBandTool {
public:
    BoxTool(int restoreMargin, bool onlyRightAndDown)
        : RubberBandTool(restoreMargin), m_onlyRightAndDown(onlyRightAndDown)
    {
    }

    void press(Stroke& stroke, Canvas& canvas, QPoint point) override;

protected:
    ToolMove drawShape(Stroke& stroke, Canvas& canvas, QPoint point) override;
    bool shows(const Stroke& stroke, QPoint point) const override;
    static bool isRightAndDown(const Stroke& stroke, QPoint point);

private:
    bool m_onlyRightAndDown;
};

// Area erasing back to a plain page: after the commit, the box dragged to the right and down is
// wiped on the screen and in the committed picture, from the underlay when the canvas has one and
// otherwise with the background colour the screen shows. The undo snapshot keeps the screen
// inside the box as the commit found it.
class AreaEraseTool : public BoxTool {
public:
    explicit AreaEraseTool(int restoreMargin) : BoxTool(restoreMargin, true) {}

    void release(Stroke& stroke, Canvas& canvas, QPoint point) override;
};

// Erasing back to the canvas's underlay (the desktop snapshot under annotations): at release the
// area around the stroke comes back from the underlay onto the screen before the commit.
class UnderlayEraseTool : public BoxTool {
public:
    explicit UnderlayEraseTool(int restoreMargin) : BoxTool(restoreMargin, false) {}

    void release(Stroke& stroke, Canvas& canvas, QPoint point) override;
};
