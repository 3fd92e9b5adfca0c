#include "board/tools/Canvas.h"

#include "board/pixels/RasterCopy.h"

void Canvas::commit(const QRect& area)
{
    if (undoSnapshot.size() == committed.size() && undoSnapshot.format() == committed.format())
        RasterCopy::copy(committed, committed.rect(), undoSnapshot, QPoint(0, 0));
    else
        undoSnapshot = committed.copy();
    screen.copyTo(committed, area);
}

void Canvas::undo(const QRect& area)
{
    screen.copyFrom(undoSnapshot, area);
    screen.copyTo(committed, area);
}
