#pragma once

#include "board/tools/StrokeBox.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

struct Canvas;

// The board's single movable picture that is not yet part of the page (the window shows it as
// Image2: picture() at geometry() while shown). A range selection cuts it out of the page;
// clip-art, pictures, captures and scans are placed into it. It can be dragged and zoomed in steps
// of 1.5, and is stamped into the page when the teacher presses the board elsewhere (commit on
// press) or chooses a tool or another page (framed commit).
//
// Coordinates: geometry(), the press and release points of a cut and the stroke box are screen
// pixels, which are the board's pixels; grab() and dragTo() take points in the picture's own
// pixels, as the picture's pointer events give them.
//
// A cut picture carries the dotted selection frame on its outermost rows and columns, so stamping
// leaves that border out; a placed picture (exact placement) keeps every pixel when stamped by a
// press. Every zoom step resamples the zoom source, a copy taken at the first step, so repeated
// steps do not blur the picture further; the picture buffer keeps the unzoomed pixels.
// The pending page load and the selection end are the board's: the callers clear and set them.
class FloatingPicture {
public:
    bool isShown() const { return m_shown; }
    QRect geometry() const { return m_geometry; }
    const QImage& picture() const { return m_picture; }
    const QImage& pictureBuffer() const { return m_buffer; }
    bool exactPlacement() const { return m_exactPlacement; }
    float zoomFactor() const { return m_zoom; }
    bool hasZoomSource() const { return !m_zoomSource.isNull(); }
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    // The release of a range selection from press to release, after the release work of the tool
    // committed the screen around the stroke. Takes the screen's rectangle between the two points
    // as the picture, shows it there and leaves a hole in the committed picture: the underlay's
    // stroke box on the screen and in the committed picture while the canvas has an underlay,
    // otherwise the rectangle filled with the screen's background colour. A release left of or
    // above the press point selects nothing. Returns whether a picture was cut.
    bool cut(QPoint press, QPoint release, const StrokeBox& strokeBox, Canvas& canvas);

    // Stamping and dropping change no window pixels: where the picture is hidden, the board shows
    // the page again in the rectangle it covered (geometry() before the call), and likewise in the
    // place a drag left.
    //
    // Stamps the picture into page as a press on the board does, then hides it and gives up the
    // zoom source. A cut picture leaves its frame out, and when shrunk one more row and column at
    // the top and left. Nothing while hidden.
    void commitOnPress(QImage& page);
    // Stamps all but the outermost rows and columns into page, as choosing a tool or a page does,
    // then hides it. Nothing while hidden.
    void framedCommit(QImage& page);
    // Stamps as framedCommit() without hiding, as the board's release does while it floats.
    void stampFramed(QImage& page) const;
    // Hides without stamping: undo, clearing and a background change throw the picture away.
    void drop() { m_shown = false; }
    // Clearing a selection just cut: the picture and the page area under it take colour, and the
    // picture goes without a zoom source.
    void wipe(QImage& page, const QColor& colour);

    // Shows image at topLeft, unzoomed and without a zoom source; with exact the picture is
    // stamped whole by a press.
    void place(const QImage& image, QPoint topLeft, bool exact);
    // Shows the picture again with its top at top, keeping its left and size: a picture taller
    // than the screen continues on the next page.
    void continueAtTop(int top);
    // Choosing range selection: the next picture is a cut one, and no zoom source is kept.
    void chooseRangeSelection();

    // A press on the picture, and a move with the left button held: the picture follows the
    // pointer. Nothing keeps it on the screen while it is dragged.
    void grab(QPoint pointInPicture) { m_grabPoint = pointInPicture; }
    void dragTo(QPoint pointInPicture) { m_geometry.translate(pointInPicture - m_grabPoint); }

    // One zoom step, x 1.5 or / 1.5, resampled from the zoom source through "tmp.bmt" in
    // programDirectory and kept on a screen of screenSize. A cut picture at 1.0 or more gets its
    // dotted frame again in frameColour. Nothing happens while hidden, nor for an enlargement that
    // would cover more than four screens; returns whether it zoomed.
    bool zoomIn(QSize screenSize, const QString& programDirectory, const QColor& frameColour);
    bool zoomOut(QSize screenSize, const QString& programDirectory, const QColor& frameColour);

private:
    bool zoom(bool enlarge, QSize screenSize, const QString& programDirectory,
              const QColor& frameColour);
    void drawFrame(const QColor& colour);
    void releaseZoomSource() { m_zoomSource = QImage(); }

    bool m_shown = false;
    QRect m_geometry;
    QImage m_picture;
    QImage m_buffer;
    bool m_exactPlacement = false;
    float m_zoom = 1.0f;
    QImage m_zoomSource;
    QPoint m_grabPoint;
    int m_tag = 0;
};
