#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

// Lossless coding of one tile of a picture (photo, desktop capture, scan) in a few bits a pixel.
// Each pixel is predicted by its left neighbour (the first of a row by the one above it), channel
// by channel; the differences to the predictions are decorrelated as G, R - G and B - G (and A
// when the tile is not opaque). Planes of them, one after the other (G; R - G and B - G as one
// symbol a pixel when both are small; A), are compressed with zstd. Neighbouring pixels of a
// picture are close and their channels move together, so most differences are small and alike;
// flat runs become runs of zeros. All arithmetic is on bytes, modulo 256, so undoing the
// prediction is one byte-wise add a pixel. Noise that the channels do not share (a scanner's) is
// made larger by the prediction and the differences; where that form is large, the tile's
// channels as they are, as planes, are compressed too, and the smaller code is kept.
// Every byte of every pixel comes back: an opaque tile's pixels come back with top byte 0xff.
namespace PictureTileCodec {

// Tiles are at most this many pixels wide and high.
constexpr int MaxSide = 64;

// Appends the code of the width x height pixels at pixels (rows stride pixels apart) to out and
// returns its length. opaque: every pixel's top byte is 0xff, so it is not kept.
qsizetype encode(const quint32* pixels, qsizetype stride, int width, int height, bool opaque,
                 QByteArray& out);

// Decodes what encode() gave for a tile of this size into target (rows stride pixels apart).
// False, with target's tile in any state, when bytes are not exactly one whole code of such a
// tile; no read or write goes outside bytes or the tile.
bool decode(QByteArrayView bytes, quint32* target, qsizetype stride, int width, int height,
            bool opaque);

} // namespace PictureTileCodec
