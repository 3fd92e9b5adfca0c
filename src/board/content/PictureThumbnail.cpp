#include "board/content/PictureThumbnail.h"

#include "board/codec/ImageCodec.h"
#include "board/content/PictureColumn.h"

#include <cmath>

namespace PictureThumbnail {

QRectF destination(QSize picture)
{
    constexpr float side = PictureColumn::thumbnailSize;
    const float w = float(picture.width());
    const float h = float(picture.height());
    if (w > h) {
        const float s = side / w;
        return QRectF(0.0, double((w - h) * s / 2.0f), double(side), double(h * s));
    }
    const float s = side / h;
    return QRectF(double((h - w) * s / 2.0f), 0.0, double(w * s), double(side));
}

QSize sizeNeeded(QSize picture)
{
    const QRectF rectangle = destination(picture);
    return QSize(int(std::ceil(rectangle.width())), int(std::ceil(rectangle.height())));
}

PictureRead make(const QString& path, const QString& programDirectory)
{
    PictureRead picture = ImageCodec::readPicture(path, sizeNeeded);
    if (picture.status != PictureStatus::Read)
        return picture;
    // A reduced picture is drawn from the part that stands for the whole one.
    const QRectF whole(0.0, 0.0, double(picture.size.width()) / picture.reduction,
                       double(picture.size.height()) / picture.reduction);
    constexpr int side = PictureColumn::thumbnailSize;
    picture.image =
        ImageCodec::scaledCopy(picture.image, whole, QSize(side, side), destination(picture.size),
                               defaultInterpolation, programDirectory)
            .convertToFormat(QImage::Format_ARGB32);
    picture.reduction = 1;
    return picture;
}

} // namespace PictureThumbnail
