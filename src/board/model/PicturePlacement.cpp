#include "board/model/PicturePlacement.h"

#include "board/codec/ImageCodec.h"
#include "board/pixels/Rounding.h"

#include <algorithm>

namespace {

// Where a picture as wide as the screen floats: at the left edge, reaching up under the strip.
constexpr QPoint pictureAtTopPlace(0, 35);

} // namespace

PicturePlacement::PicturePlacement(QSize screenSize, const QString& programDirectory)
    : m_screenSize(screenSize), m_programDirectory(programDirectory)
{
}

bool PicturePlacement::chooseClipArt(const QString& path)
{
    QImage clipArt = ImageCodec::loadFile(path);
    if (clipArt.isNull())
        return false;
    m_clipArt = std::move(clipArt);
    m_pending = PendingPlacement::ClipArt;
    return true;
}

bool PicturePlacement::choosePicture(const QString& path)
{
    const QImage picture = ImageCodec::loadFile(path);
    if (picture.isNull())
        return false;
    const int screenWidth = m_screenSize.width();
    const bool screenWide = picture.width() >= screenWidth;
    QImage chosen;
    if (screenWide) {
        // A picture very much wider than high keeps at least one row.
        const int height =
            std::max(roundHalfToEven(double(picture.height()) * screenWidth / picture.width()), 1);
        const QSize size(screenWidth, height);
        chosen = ImageCodec::scaledCopy(picture, QRectF(picture.rect()), size,
                                        QRectF(QPointF(0, 0), size),
                                        Interpolation::HighQualityBicubic, m_programDirectory);
    } else {
        chosen = ImageCodec::throughFile(picture, m_programDirectory);
    }
    if (chosen.isNull())
        return false;
    m_chosenPicture = std::move(chosen);
    m_pending = screenWide ? PendingPlacement::PictureAtTop : PendingPlacement::PictureAtPress;
    return true;
}

std::optional<PicturePlacement::Placed> PicturePlacement::take(QPoint pressPoint)
{
    const PendingPlacement pending = m_pending;
    m_pending = PendingPlacement::None;
    switch (pending) {
    case PendingPlacement::None:
        return std::nullopt;
    case PendingPlacement::ClipArt:
        return Placed{m_clipArt, pressPoint};
    case PendingPlacement::PictureAtPress:
        return Placed{m_chosenPicture, pressPoint};
    case PendingPlacement::PictureAtTop:
        return Placed{m_chosenPicture, pictureAtTopPlace};
    }
    return std::nullopt;
}
