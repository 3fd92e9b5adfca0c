#pragma once

#include "board/content/FloatingPicture.h"
#include "board/model/PenSettings.h"
#include "board/tools/Canvas.h"
#include "board/tools/FreehandTool.h"
#include "board/tools/RubberBandTool.h"
#include "board/tools/ScreenImage.h"
#include "board/tools/Stroke.h"

#include <QObject>

class BoardModel;
class Clock;
class Prompter;

// The overlay's tools; the numbers are those its rules use.
enum class OverlayTool { Write = 0, Range = 1, Erase = 2, Line = 3 };

// Where a capture goes: onto a board page, or into a PNG file.
enum class CaptureMode { Board = 0, File = 1 };

// Writing over the desktop: a snapshot of the screen taken when the overlay opens, the strokes
// written over it and a floating selection that can be zoomed and captured onto the board or into
// a file. The working picture is the board's scratch image (the board's undo snapshot), so a
// session on the overlay leaves nothing the board could undo. Strokes go through the same canvas
// and tools as the board's, with the overlay's own set: writing, straight lines, erasing back to
// the snapshot and range selection. Coordinates are screen pixels; nothing here reads a widget.
class OverlayModel : public QObject {
    Q_OBJECT
public:
    OverlayModel(BoardModel& board, const QString& programDirectory, Prompter& prompter,
                 Clock& clock);

    QSize screenSize() const;
    // The window's own pixels: all the overlay window paints.
    const ScreenImage& screen() const { return m_screen; }
    const QImage& snapshot() const { return m_snapshot; }
    const QImage& undoImage() const { return m_undo; }
    OverlayTool tool() const { return m_tool; }
    const WindowPen& pen() const { return m_stroke.pen; }
    StrokeBox strokeBox() const { return m_stroke.box; }
    int strokeWidth() const { return m_pen.width(); }
    QColor penColour() const { return m_pen.colour(); }
    // The floating selection (Image1), a cut picture by the overlay's own zoom rules.
    const FloatingPicture& selection() const { return m_selection; }
    bool selectionMade() const { return m_selectionMade; }
    bool compact() const { return m_compact; }
    CaptureMode captureMode() const { return m_captureMode; }

    // Settings applied at start-up and the capture mode chosen in the settings.
    void setStrokeWidth(int width);
    void setPenColour(const QColor& colour);
    void setCaptureMode(CaptureMode mode) { m_captureMode = mode; }

    // Opening over a picture of the desktop taken just before the overlay shows.
    void open(const QImage& desktop);
    // The whole overlay from the working picture again (after help, the shade, a dialog).
    void repaintAll();

    // Pointer input on the screen (any button for press and release; moves with the left button).
    void press(QPoint point);
    void move(QPoint point);
    void release(QPoint point);
    // Pointer input on the floating selection, in its own pixels.
    void pressOnSelection(QPoint pointInPicture);
    void dragSelection(QPoint pointInPicture);

    // The toolbars' actions.
    void chooseTool(OverlayTool tool);
    void widen() { changeStrokeWidth(+1); }
    void narrow() { changeStrokeWidth(-1); }
    void choosePenColour();
    void clearAll();
    // The compact toolbar's clear: only the selected rectangle while a selection is made.
    void clearSelected();
    void undo();
    void setCompact(bool compact);
    void zoomIn() { zoom(true); }
    void zoomOut() { zoom(false); }
    void captureToCurrentPage();
    void captureToNextPage();
    // Leaving for the desktop abandons a floating selection in range mode.
    void leaveForDesktop() { abandonSelectionInRange(); }

signals:
    void repaintNeeded(const QRect& rect);
    void settingsChanged();
    void toolChanged();
    // The overlay is to show this cursor file (chosen by bare name) for its tool.
    void toolCursorChanged(const QString& cursorFile);
    void selectionChanged();
    void compactChanged();

private:
    Canvas canvas();
    CanvasTool& currentTool();
    void changeStrokeWidth(int step);
    void zoom(bool enlarge);
    void makeSelection(QPoint release);
    void hideSelection();
    void abandonSelectionInRange();
    void restoreAroundSelection(const QRect& area);
    void copyFromSnapshot(const QRect& area);
    // The captures' common step onto the board's current page.
    void captureOntoCurrentPage();
    void endCaptureOnBoard();
    void captureToFile();

    BoardModel& m_board;
    QString m_programDirectory;
    Prompter& m_prompter;
    Clock& m_clock;
    ScreenImage m_screen;
    QImage m_snapshot;
    QImage m_undo;
    bool m_buffersReady = false;
    PenTool m_write;
    BoxTool m_range;
    UnderlayEraseTool m_erase;
    LineTool m_line;
    OverlayTool m_tool = OverlayTool::Write;
    Stroke m_stroke;
    QPoint m_releasePoint;
    PenSettings m_pen;
    FloatingPicture m_selection;
    bool m_selectionMade = false;
    // Every file capture of one selection saves it at the size it was made, without its frame.
    QSize m_fileCaptureSize;
    bool m_compact = false;
    CaptureMode m_captureMode = CaptureMode::Board;
};
