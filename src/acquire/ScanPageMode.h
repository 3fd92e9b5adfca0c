#pragma once

// How a scanned page goes onto the board: "单页" keeps the top of the scan that fills one screen,
// "双页" the whole scan, continued on the next page where it is taller than the screen.
enum class ScanPageMode { Single, Double };
