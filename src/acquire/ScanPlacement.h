#pragma once

#include "acquire/ScanPageMode.h"

#include <QImage>
#include <QSize>
#include <QString>

class BoardModel;

// A scanned page on its way to the board: scaled to the screen's width plus 50 pixels and placed as
// the floating picture at (-5, 35), so 5 pixels stand out at the left and 45 at the right.
// Coordinates are screen pixels; the scan's are its own pixels.
namespace ScanPlacement {

// The size the scan takes on a screen: the width of the screen + 50; the scan's scaled height in
// "双页" mode, at most one screen height of it in "单页" mode.
QSize pictureSize(QSize scan, QSize screen, ScanPageMode mode);

// Scales the scan with bicubic interpolation through "tmp.bmt" in programDirectory (an old
// "tmp.bmp" there is deleted first) and makes it the board's floating picture. A picture taller
// than the screen continues on the page after the current one, up to page 99.
void place(BoardModel& board, const QImage& scan, ScanPageMode mode,
           const QString& programDirectory);

} // namespace ScanPlacement
