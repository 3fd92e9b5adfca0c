#include "overlay/OverlaySelection.h"

#include "board/codec/ImageCodec.h"
#include "board/content/ZoomStep.h"
#include "board/pixels/EdgeRect.h"
#include "board/pixels/PageFormat.h"
#include "board/pixels/RasterCopy.h"

void OverlaySelection::make(const QImage& picture, QPoint topLeft)
{
    m_zoomSource = QImage();
    m_zoom = 1.0f;
    m_picture = picture;
    m_geometry = QRect(topLeft, picture.size());
    m_shown = true;
}

void OverlaySelection::stampInto(QImage& target) const
{
    const int w = m_geometry.width();
    const int h = m_geometry.height();
    RasterCopy::copy(m_picture, edgeRect(1, 1, w - 1, h - 1), target,
                     m_geometry.topLeft() + QPoint(1, 1));
}

bool OverlaySelection::zoom(bool enlarge, QSize screenSize, const QString& programDirectory)
{
    const float factor = ZoomStep::nextFactor(m_zoom, enlarge);
    const QSize sourceSize = m_zoomSource.isNull() ? m_picture.size() : m_zoomSource.size();
    // A selection of four pixels or less across has nothing inside its frame to zoom.
    if (sourceSize.width() <= 4 || sourceSize.height() <= 4)
        return false;
    if (enlarge && !ZoomStep::fitsScreens(sourceSize, factor, screenSize))
        return false;
    // The zoom source is the picture as it floats now, read back through a BMP stream.
    if (m_zoomSource.isNull())
        m_zoomSource = ImageCodec::loadBmpStream(ImageCodec::bmpStream(m_picture));
    m_zoom = factor;

    const int w0 = m_zoomSource.width();
    const int h0 = m_zoomSource.height();
    const QSize size = ZoomStep::sizeAt(m_zoomSource.size(), m_zoom);
    // The two-pixel frame of the selection stays out.
    const QRectF source(2, 2, w0 - 4, h0 - 4);
    const QRectF destination(0, 0, double(w0) * double(m_zoom), double(h0) * double(m_zoom));
    m_picture = ImageCodec::scaledCopy(
        m_zoomSource, source, size, destination, Interpolation::HighQualityBicubic,
        programDirectory, enlarge ? QStringLiteral("tmp.bmt") : QStringLiteral("tmp.bmp"));
    m_geometry.setSize(size);
    m_geometry.moveTo(ZoomStep::placed(m_geometry.topLeft(), size, screenSize, enlarge));
    return true;
}

QImage OverlaySelection::interiorAt(QSize size) const
{
    const QRect interior = edgeRect(1, 1, m_picture.width() - 1, m_picture.height() - 1);
    if (interior.size() == size)
        return m_picture.copy(interior).convertToFormat(pageFormat);
    QImage stretched = ImageCodec::createBitmap(size.width(), size.height());
    ImageCodec::drawScaled(stretched, QRectF(QPointF(0, 0), QSizeF(size)), m_picture,
                           QRectF(interior), Interpolation::HighQualityBicubic);
    return stretched.convertToFormat(pageFormat);
}
