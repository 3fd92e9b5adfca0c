#pragma once

#include "board/tools/WindowPen.h"

#include <QImage>
#include <QList>
#include <QRect>
#include <functional>

// The board window's own pixels (its child widgets excluded), in screen coordinates. Tools draw on
// the window by drawing here; the window shows these pixels and nothing else, and repaints exactly
// the rectangles this surface reports. Painting is aliased and in copy mode.
class ScreenImage {
public:
    explicit ScreenImage(QSize screenSize);

    const QImage& image() const { return m_image; }
    QSize size() const { return m_image.size(); }

    // Called with every rectangle whose pixels changed, clipped to the screen.
    void setRepaintHandler(std::function<void(const QRect&)> handler);

    QColor pixel(QPoint point) const { return m_image.pixelColor(point); }
    void setPixel(QPoint point, const QColor& colour);
    // The colour of the background probe pixel: the background colour of what the window shows.
    QColor backgroundColour() const;

    void drawLine(const WindowPen& pen, QPoint from, QPoint to);
    // Outlines inside the rectangle with corners a and b; the far edges lie one pixel inside b.
    void drawRectangle(const WindowPen& pen, QPoint a, QPoint b);
    void drawEllipse(const WindowPen& pen, QPoint a, QPoint b);
    void fill(const QRect& rect, const QColor& colour);
    // Copies rect of source (screen coordinates) onto the same place of the window.
    void copyFrom(const QImage& source, const QRect& rect);
    // Shows a whole page of the screen's size and format, reporting only the pixels that change.
    void showPage(const QImage& page);
    // Copies a source image with its top-left corner at topLeft.
    void drawImage(QPoint topLeft, const QImage& source);
    // Lets paint replace the window's pixels in place (a page decoded straight onto it, with no
    // image in between); paint returns the rectangles it changed and must leave an image of the
    // screen's size and format.
    void paintInPlace(const std::function<QList<QRect>(QImage& pixels)>& paint);
    // Copies rect of the window into target at the same place.
    void copyTo(QImage& target, const QRect& rect) const;

private:
    void changed(const QRect& rect);

    QImage m_image;
    std::function<void(const QRect&)> m_repaint;
};
