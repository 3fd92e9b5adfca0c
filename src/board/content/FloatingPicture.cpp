#include "board/content/FloatingPicture.h"

#include "board/codec/ImageCodec.h"
#include "board/content/ZoomStep.h"
#include "board/pixels/EdgeRect.h"
#include "board/pixels/PageFormat.h"
#include "board/pixels/RasterCopy.h"
#include "board/tools/Canvas.h"
#include "board/tools/WindowPen.h"

#include <QPainter>

#include <algorithm>

namespace {

// A placed picture is resampled whole and bicubic (mode 7), and never framed.
constexpr ZoomRules placedRules{.frame = QMargins(),
                                .atOneOrMore = Interpolation::HighQualityBicubic,
                                .belowOne = Interpolation::HighQualityBicubic};

} // namespace

bool FloatingPicture::cut(QPoint press, QPoint release, const StrokeBox& strokeBox, Canvas& canvas)
{
    releaseZoomSource();
    m_zoom = 1.0f;
    m_exactPlacement = false;

    const int width = std::max(release.x() - press.x(), 0);
    const int height = std::max(release.y() - press.y(), 0);
    if (width == 0 || height == 0)
        return false;

    // The rubber band lies on the border of this rectangle and becomes the picture's frame.
    const QColor background = canvas.screen.backgroundColour();
    m_buffer = QImage(width, height, pageFormat);
    m_buffer.fill(background); // what lies off the screen, if the pointer went there
    RasterCopy::copy(canvas.screen.image(), QRect(press, m_buffer.size()), m_buffer, QPoint());
    m_picture = m_buffer;
    m_geometry = QRect(press, m_buffer.size());
    m_shown = true;

    if (canvas.underlay) {
        const QRect box = strokeBox.grownBy(0);
        canvas.screen.copyFrom(*canvas.underlay, box);
        RasterCopy::copy(*canvas.underlay, box, canvas.committed, box.topLeft());
    } else {
        RasterCopy::fill(canvas.committed, m_geometry, background);
    }
    return true;
}

void FloatingPicture::commitOnPress(QImage& page)
{
    if (!m_shown)
        return;
    const int l = m_geometry.left();
    const int t = m_geometry.top();
    const int w = m_geometry.width();
    const int h = m_geometry.height();
    if (m_exactPlacement) {
        RasterCopy::copy(m_picture, edgeRect(0, 0, w, h), page, QPoint(l, t));
    } else {
        // Leaves out the frame; a shrunken picture one more row and column at the top and left.
        const int a = m_zoom >= 1.0f ? 1 : 2;
        RasterCopy::copy(m_picture, edgeRect(a, a, w - 2, h - 2), page, QPoint(l + a, t + a));
    }
    m_exactPlacement = false;
    m_shown = false;
    releaseZoomSource();
}

void FloatingPicture::stampFramed(QImage& page) const
{
    const int w = m_geometry.width();
    const int h = m_geometry.height();
    RasterCopy::copy(m_picture, edgeRect(1, 1, w - 1, h - 1), page,
                     m_geometry.topLeft() + QPoint(1, 1));
}

void FloatingPicture::framedCommit(QImage& page)
{
    if (!m_shown)
        return;
    stampFramed(page);
    m_shown = false;
}

void FloatingPicture::place(const QImage& image, QPoint topLeft, bool exact)
{
    releaseZoomSource();
    m_zoom = 1.0f;
    m_exactPlacement = exact;
    m_buffer = image;
    m_picture = image;
    m_geometry = QRect(topLeft, image.size());
    m_shown = true;
}

void FloatingPicture::chooseRangeSelection()
{
    m_exactPlacement = false;
    releaseZoomSource();
}

bool FloatingPicture::zoomIn(QSize screenSize, const QString& programDirectory,
                             const QColor& frameColour)
{
    return m_shown && zoom(true, screenSize, programDirectory, frameColour);
}

bool FloatingPicture::zoomOut(QSize screenSize, const QString& programDirectory,
                              const QColor& frameColour)
{
    return m_shown && zoom(false, screenSize, programDirectory, frameColour);
}

bool FloatingPicture::zoom(bool enlarge, QSize screenSize, const QString& programDirectory,
                           const QColor& frameColour)
{
    const ZoomRules& rules = m_exactPlacement ? placedRules : m_cutRules;
    const float factor = ZoomStep::nextFactor(m_zoom, enlarge);
    const QSize sourceSize = m_zoomSource.isNull() ? m_picture.size() : m_zoomSource.size();
    if (rules.needsInterior && (sourceSize.width() <= rules.frame.left() + rules.frame.right() ||
                                sourceSize.height() <= rules.frame.top() + rules.frame.bottom()))
        return false;
    if (enlarge && !ZoomStep::fitsScreens(sourceSize, factor, screenSize))
        return false;
    // The zoom source is the picture as it floats now, read back through a BMP stream; every
    // later step resamples it rather than the previous result.
    if (m_zoomSource.isNull())
        m_zoomSource = ImageCodec::loadBmpStream(ImageCodec::bmpStream(m_picture));
    m_zoom = factor;

    const int w0 = m_zoomSource.width();
    const int h0 = m_zoomSource.height();
    const QSize size = ZoomStep::sizeAt(m_zoomSource.size(), m_zoom);
    const QRectF source = QRectF(m_zoomSource.rect()).marginsRemoved(QMarginsF(rules.frame));
    const QRectF destination(0, 0, double(w0) * double(m_zoom), double(h0) * double(m_zoom));
    const Interpolation mode = m_zoom >= 1.0f ? rules.atOneOrMore : rules.belowOne;
    const QString file =
        rules.reducesThroughBmp && !enlarge ? QStringLiteral("tmp.bmp") : QStringLiteral("tmp.bmt");

    m_picture = ImageCodec::scaledCopy(m_zoomSource, source, size, destination, mode,
                                       programDirectory, file);
    m_geometry.setSize(size);
    m_geometry.moveTo(ZoomStep::placed(m_geometry.topLeft(), size, screenSize, enlarge));

    if (m_zoom >= 1.0f && rules.framedAgain)
        drawFrame(frameColour);
    return true;
}

void FloatingPicture::drawFrame(const QColor& colour)
{
    if (m_picture.isNull())
        return;
    // The rectangle (0, 0, NW - 1, NH - 1) with its right and bottom edge outside, so the frame's
    // far edges lie on column NW - 2 and row NH - 2, drawn with the rubber band's dotted pen. A
    // stroked QRect reaches one pixel past its right() and bottom(), hence the size NW - 2.
    QPainter painter(&m_picture);
    painter.setPen(WindowPen{colour, 1, true}.toQPen());
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(0, 0, m_picture.width() - 2, m_picture.height() - 2));
}

void FloatingPicture::wipe(QImage& page, const QColor& colour)
{
    RasterCopy::fill(m_picture, m_picture.rect(), colour);
    RasterCopy::fill(page, m_geometry, colour);
    m_exactPlacement = false;
    m_shown = false;
    releaseZoomSource();
}

void FloatingPicture::continueAtTop(int top)
{
    m_geometry.moveTop(top);
    m_shown = true;
}

QImage FloatingPicture::interiorAt(QSize size) const
{
    const QRect interior = edgeRect(1, 1, m_picture.width() - 1, m_picture.height() - 1);
    if (interior.size() == size)
        return m_picture.copy(interior).convertToFormat(pageFormat);
    QImage stretched = ImageCodec::createBitmap(size.width(), size.height());
    ImageCodec::drawScaled(stretched, QRectF(QPointF(0, 0), QSizeF(size)), m_picture,
                           QRectF(interior), Interpolation::HighQualityBicubic);
    return stretched.convertToFormat(pageFormat);
}
