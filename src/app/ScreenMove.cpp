#include "app/ScreenMove.h"

#include <algorithm>

namespace ScreenMove {

QRect placeIn(const QRect& window, const QRect& from, const QRect& to)
{
    if (window == from)
        return to;
    QRect placed = window;
    if (window.center() == from.center())
        placed.moveCenter(to.center());
    else
        placed.translate(to.topLeft() - from.topLeft());
    placed.moveLeft(std::max(to.left(), std::min(placed.left(), to.right() + 1 - placed.width())));
    placed.moveTop(std::max(to.top(), std::min(placed.top(), to.bottom() + 1 - placed.height())));
    return placed;
}

} // namespace ScreenMove
