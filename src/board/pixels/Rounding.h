#pragma once

#include <cmath>

// Sizes computed from scale factors are rounded to the nearest integer with halves to even
// (2.5 -> 2, 3.5 -> 4), as the board's zoom and thumbnails expect.
inline int roundHalfToEven(double value)
{
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5)
        return int(floor) + 1;
    if (fraction < 0.5)
        return int(floor);
    const int whole = int(floor);
    return (whole % 2 == 0) ? whole : whole + 1;
}
