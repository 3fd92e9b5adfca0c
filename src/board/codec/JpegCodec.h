#pragma once

#include "board/codec/PictureRead.h"

#include <QByteArrayView>
#include <QSize>
#include <QString>

// JPEG pictures through libjpeg(-turbo). The size is read from the header alone, and a picture
// beyond PictureLimit is refused before anything is decoded. Decoding can scale down in the DCT
// domain by 1/2, 1/4 or 1/8, which skips most of the work: a thumbnail of a 12-megapixel photo
// never decodes it at full size. Nothing in the file is trusted: data that ends early or breaks
// the format is refused (libjpeg's warnings included), never shown half grey; decoder memory and
// the number of progressive scans are bounded. Grey, YCbCr, RGB, CMYK and YCCK pictures all come
// out as Format_RGB32.
namespace JpegCodec {

// The JPEG start of image: the bytes FF D8 FF.
bool isJpeg(QByteArrayView data);

// The picture's size from its header; the status says why there is none.
PictureRead readHeader(QByteArrayView data);

// The largest of 1, 2, 4 and 8 that still decodes size to at least atLeast in both directions
// (libjpeg rounds scaled sizes up). An empty atLeast asks for the full size.
int scaleDenominator(QSize size, QSize atLeast);

// The picture decoded at the smallest DCT scale that still covers what sizeNeeded asks for once
// the header is read (the full size without it). PictureRead::size is the picture's full size.
PictureRead decode(QByteArrayView data, const SizeNeeded& sizeNeeded = {});
// The same for a fixed size.
inline PictureRead decode(QByteArrayView data, QSize atLeast)
{
    return decode(data, [atLeast](QSize) { return atLeast; });
}

} // namespace JpegCodec
