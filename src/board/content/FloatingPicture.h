#pragma once

#include "board/codec/ImageCodec.h"
#include "board/tools/StrokeBox.h"

#include <QColor>
#include <QImage>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

struct Canvas;

// How zoom steps resample a floating picture from its zoom source. A cut picture carries the
// dotted rubber band on its outermost rows and columns; the board's cut pictures and the overlay's
// selection each zoom by rules of their own. A placed picture is resampled whole, bicubic.
struct ZoomRules {
    // What of the zoom source a step leaves out: the old frame.
    QMargins frame;
    // The interpolation at a factor of 1.0 or more, and below 1.0.
    Interpolation atOneOrMore;
    Interpolation belowOne;
    // At a factor of 1.0 or more the picture gets its dotted frame again, in the frame colour.
    bool framedAgain = false;
    // A reduction passes "tmp.bmp" rather than "tmp.bmt".
    bool reducesThroughBmp = false;
    // A picture whose frame leaves nothing inside is not zoomed.
    bool needsInterior = false;
};

// A movable picture that is not yet part of what it floats over: the board's (the board window
// shows it as Image2) and the overlay's selection (Image1), each showing picture() at geometry()
// while shown. On the board a range selection cuts it out of the page, and clip-art, pictures,
// captures and scans are placed into it; it is stamped into the page when the teacher presses the
// board elsewhere (commit on press) or chooses a tool or another page (framed commit). The overlay
// places the rectangle it selects into it and stamps it back framed. Either drags it and zooms it
// in steps of 1.5.
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
    // The board's cut pictures: resampled from (1, 1), three pixels narrower and lower, bilinear
    // (mode 1) from 1.0 up and widened bilinear (mode 2) below, framed again from 1.0 up.
    static constexpr ZoomRules boardCut{.frame = QMargins(1, 1, 2, 2),
                                        .atOneOrMore = Interpolation::LowQuality,
                                        .belowOne = Interpolation::HighQuality,
                                        .framedAgain = true};

    // cutRules are the zoom rules of the pictures that are not exact placements.
    explicit FloatingPicture(const ZoomRules& cutRules) : m_cutRules(cutRules) {}

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
    // Stamps as framedCommit() without hiding, as the board's release does while it floats and the
    // overlay's press puts its selection down.
    void stampFramed(QImage& page) const;
    // Hides without stamping: undo, clearing and a background change throw the picture away.
    void drop() { m_shown = false; }
    // Clearing a selection just cut: the picture and the page area under it take colour, and the
    // picture goes without a zoom source.
    void wipe(QImage& page, const QColor& colour);

    // Shows image at topLeft, unzoomed and without a zoom source; with exact the picture is
    // stamped whole by a press, otherwise it is a cut picture with its frame.
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

    // One zoom step, x 1.5 (enlarge) or / 1.5, resampled from the zoom source by the picture's
    // zoom rules through a file in programDirectory, and kept on a screen of screenSize; a cut
    // picture framed again gets its frame in frameColour. Shown or hidden; nothing for an
    // enlargement that would cover more than four screens. Returns whether it zoomed.
    bool zoom(bool enlarge, QSize screenSize, const QString& programDirectory,
              const QColor& frameColour = {});
    // The board's zoom buttons: a step as zoom() does, but nothing while hidden.
    bool zoomIn(QSize screenSize, const QString& programDirectory, const QColor& frameColour);
    bool zoomOut(QSize screenSize, const QString& programDirectory, const QColor& frameColour);

    // The picture without its one-pixel frame, stretched to size (bicubic), as the overlay's file
    // capture saves it.
    QImage interiorAt(QSize size) const;

private:
    void drawFrame(const QColor& colour);
    void releaseZoomSource() { m_zoomSource = QImage(); }

    ZoomRules m_cutRules;
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
