#pragma once

#include "board/tools/ScreenImage.h"
#include "board/store/PageStore.h"
#include "board/tools/StrokeBox.h"
#include "board/tools/ToolMode.h"
#include "board/tools/WindowPen.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <optional>

// Where the panels that lie over the board stand at a release, so the commit keeps clear of them.
struct OpenPanels {
    std::optional<QRect> thumbnailStrip; // when shown
    std::optional<QRect> contentPanel;   // when shown
};

// The board's drawing tools: press, move and release in screen coordinates. While the pointer
// moves, ink goes straight onto the window (the surface); rubber bands are wiped by copying the
// area around the stroke back from the page image, which still holds the page as it was before
// the stroke. Only the release copies the page into the scratch image (the undo snapshot) and then
// the rectangle around the stroke from the window into the page.
class BoardTools {
public:
    BoardTools(PageStore& pages, ScreenImage& surface);

    ToolMode toolMode() const { return m_toolMode; }
    WindowPen& pen() { return m_pen; }
    const WindowPen& pen() const { return m_pen; }
    // The cursor file each tool shows, looked up by bare name.
    static QString cursorFile(ToolMode mode);

    // Chooses a tool and sets the window pen for it from the stroke width and colour; the eraser
    // paints with the background colour the window shows.
    void chooseTool(ToolMode mode, int strokeWidth, const QColor& strokeColour);

    // A press with any button.
    void press(QPoint point);
    // A move while the left button is held; gives the new measurement readout of shape tools.
    std::optional<QString> move(QPoint point, int strokeWidth);
    // A release with any button: the undo snapshot and the commit of the stroke.
    void release(QPoint point, int strokeWidth, const QColor& strokeColour,
                 const OpenPanels& panels);

    // Takes back the last stroke: the area around it comes back from the undo snapshot onto the
    // window and into the page. One level only: a second undo shows the same.
    void undo();

    QPoint pressPoint() const { return m_pressPoint; }
    // A press on the floating picture also sets the press point, in the picture's coordinates.
    void setPressPoint(QPoint point) { m_pressPoint = point; }
    StrokeBox strokeBox() const { return m_strokeBox; }
    void setStrokeBox(const StrokeBox& box) { m_strokeBox = box; }
    QPoint selectionEnd() const { return m_selectionEnd; }
    void setSelectionEnd(QPoint point) { m_selectionEnd = point; }

    // The readout of a shape dragged from the press point to point: half the pixels, in tenths.
    static QString measurement(QPoint pressPoint, QPoint point);

private:
    void restoreAroundStroke();
    void keepClearOfPanels(const OpenPanels& panels);
    int commitMargin(int strokeWidth) const;
    void eraseArea(QPoint releasePoint);

    PageStore& m_pages;
    ScreenImage& m_surface;
    ToolMode m_toolMode = ToolMode::Pen;
    WindowPen m_pen;
    QPoint m_penPosition;
    QPoint m_pressPoint;
    StrokeBox m_strokeBox;
    QPoint m_selectionEnd;
};
