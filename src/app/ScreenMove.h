#pragma once

#include <QRect>

// Where a window of the program goes when it moves from one screen to another (the board screen
// was chosen, unplugged or plugged in again): a window covering the old screen covers the new
// one, a window centred on it is centred on the new one, and any other keeps its place relative
// to the screen's top-left corner. The window is then kept inside the new screen, its top-left
// corner first when it is larger.
namespace ScreenMove {

QRect placeIn(const QRect& window, const QRect& from, const QRect& to);

} // namespace ScreenMove
