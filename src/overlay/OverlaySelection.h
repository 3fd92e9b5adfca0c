#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

// The overlay's floating selection (the window shows it as Image1: picture() at geometry() while
// shown): a rectangle of the annotated screen copied at the release of a range selection, with
// the dotted rubber band on its border. It can be dragged, zoomed in steps of 1.5 from a zoom
// source taken at the first step (so steps add no blur), stamped back without its frame, handed to
// the board or saved. Geometry is in screen pixels; grab() and dragTo() take points in the
// picture's own pixels.
class OverlaySelection {
public:
    bool isShown() const { return m_shown; }
    QRect geometry() const { return m_geometry; }
    const QImage& picture() const { return m_picture; }
    float zoomFactor() const { return m_zoom; }

    // A new selection: picture shown at topLeft, unzoomed.
    void make(const QImage& picture, QPoint topLeft);
    void hide() { m_shown = false; }
    // Stamps the picture without its one-pixel frame into target at its place.
    void stampInto(QImage& target) const;

    void grab(QPoint pointInPicture) { m_grabPoint = pointInPicture; }
    void dragTo(QPoint pointInPicture) { m_geometry.translate(pointInPicture - m_grabPoint); }

    // One zoom step, resampled bicubic from the zoom source without its two-pixel frame and kept
    // on a screen of screenSize, through "tmp.bmt" (enlarge) or "tmp.bmp" (reduce) in
    // programDirectory. Nothing for an enlargement that would cover more than four screens;
    // returns whether it zoomed.
    bool zoom(bool enlarge, QSize screenSize, const QString& programDirectory);

    // The picture without its one-pixel frame, stretched to size, as a file capture saves it.
    QImage interiorAt(QSize size) const;

private:
    bool m_shown = false;
    QRect m_geometry;
    QImage m_picture;
    QImage m_zoomSource;
    float m_zoom = 1.0f;
    QPoint m_grabPoint;
};
