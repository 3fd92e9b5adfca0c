#pragma once

#include "board/codec/ImageCodec.h"

#include <QImage>
#include <QRectF>

#include <vector>

// The scaled draw behind ImageCodec::drawScaled: a separable two-pass resampler over premultiplied
// 32-bit pixels. Destination pixel (x + 0.5) maps to a source position by the ratio of the two
// rectangles; each destination column and row gets its source taps and weights once. Per
// destination row, a vertical pass sums the source rows it reads into one float row of the
// needed source columns, then a horizontal pass turns that row into finished pixels and blends
// them into the target (source-over, scaled by how much of each pixel the destination rectangle
// covers). Samples outside the source rectangle clamp to its edge pixels.
// Coordinates: pixels of the source image (sourceRect) and of the target image (destination).
class Resampler {
public:
    Resampler(const QRectF& destination, const QSize& targetSize, const QRectF& sourceRect,
              const QSize& sourceSize, Interpolation mode);

    // source: RGB32 (alpha taken as opaque) or ARGB32_Premultiplied, and not target itself
    // (rows are written while later ones are still read).
    // target: RGB32, ARGB32 or ARGB32_Premultiplied.
    void draw(QImage& target, const QImage& source) const;

private:
    // One axis: destination pixels [destFirst, destFirst + count), each reading `taps` source
    // pixels from its start with weights summing to 1.
    struct Axis {
        int destFirst = 0;
        int count = 0;
        int taps = 0;
        std::vector<int> start;
        std::vector<float> weights;  // count * taps
        std::vector<float> coverage; // share of each destination pixel covered, 0 to 1
        bool build(double destStart, double destLength, int destLimit, double sourceStart,
                   double sourceLength, int sourceLimit, Interpolation mode);
    };

    Axis m_columns;
    Axis m_rows;
    bool m_valid = false;
};
