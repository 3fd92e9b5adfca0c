#pragma once

#include "board/tools/ScreenImage.h"

#include <QImage>
#include <QList>
#include <QRect>

// A panel lying over the canvas that commits keep clear of. The side says where the panel lies
// as seen from the drawing: a strip above it, a strip below it, or a panel at its left.
struct KeepOut {
    enum class Side { Above, Below, Left };
    Side side;
    QRect area;
};

// What a tool works on: the screen image of one full-screen window and the pictures behind it,
// all in screen coordinates and of the screen's size. Strokes are drawn on the screen image while
// the pointer moves and committed into the committed picture at release, after the committed
// picture was kept as the undo snapshot. The underlay, when there is one, is what erasing brings
// back. The owner builds a canvas for each input event from its own images; a tool never keeps
// one.
struct Canvas {
    ScreenImage& screen;
    QImage& committed;
    QImage& undoSnapshot;
    const QImage* underlay = nullptr;
    // Rows above this one are never drawn on: pointer positions are kept below it.
    int firstRow = 0;
    QList<KeepOut> keepOut;

    // The committed picture in area shows again on the screen, wiping whatever was drawn there.
    void restore(const QRect& area) { screen.copyFrom(committed, area); }
    // The committed picture becomes the undo snapshot; then area of the screen goes into it.
    void commit(const QRect& area);
    // The undo snapshot in area comes back onto the screen and into the committed picture.
    void undo(const QRect& area);
};
