#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// One step of zooming a floating picture by 1.5, as the board and the overlay zoom theirs: the
// factor kept in single precision (so in then out comes back to exactly 1.0), the size from the
// zoom source rounded with halves to even, the bound on enlargements, and where the picture then
// stands on the screen. Coordinates are screen pixels.
namespace ZoomStep {

inline constexpr float factorStep = 1.5f;

float nextFactor(float factor, bool enlarge);
// The zoom source's size at factor, each side rounded with halves to even.
QSize sizeAt(QSize source, float factor);
// Whether the source at factor covers no more than four screens: a larger enlargement is not made,
// since its memory and its temporary file would grow without bound.
bool fitsScreens(QSize source, float factor, QSize screen);
// Where a picture of size stands after the step: an enlarged one that overflows the right or
// bottom edge moves back in and, when larger than the screen, ends up centred; a reduced one that
// fits comes back from beyond the left or top edge.
QPoint placed(QPoint topLeft, QSize size, QSize screen, bool enlarge);

} // namespace ZoomStep
