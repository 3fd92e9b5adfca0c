#pragma once

#include <QWidget>

// Presses, moves and releases on a child that the child leaves alone stop at it: Qt would hand
// them on to the window, where they would draw on the page.
inline void keepPointerInput(QWidget* child)
{
    child->setAttribute(Qt::WA_NoMousePropagation);
}
