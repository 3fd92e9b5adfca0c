#pragma once

// What the next release on the board places as the floating picture; the numbers are those the
// board's rules use.
enum class PendingPlacement {
    None = 0,
    ClipArt = 1,        // the clip-art image, at the press point
    PictureAtPress = 2, // the chosen picture, at the press point
    PictureAtTop = 3,   // the chosen picture scaled to the screen's width, below the strip
};
