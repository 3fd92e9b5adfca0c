#pragma once

#include "board/model/PendingPlacement.h"

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>

#include <optional>

// Pictures from the clip-art palette wait for the next release on the board, whatever the tool:
// this is what waits (the pending placement) and where it is to float. Both choices load the file
// by its content; a file that cannot be read changes nothing, and they return whether it was read.
// Coordinates are screen pixels.
class PicturePlacement {
public:
    // A picture to float, placed whole, with its top-left corner.
    struct Placed {
        QImage picture;
        QPoint topLeft;
    };

    // Wide pictures are scaled to the width of screenSize; every chosen picture passes "tmp.bmt"
    // in programDirectory.
    PicturePlacement(QSize screenSize, const QString& programDirectory);

    PendingPlacement pending() const { return m_pending; }
    bool isPending() const { return m_pending != PendingPlacement::None; }
    const QImage& clipArt() const { return m_clipArt; }

    // A clip-art file waits to float at the press point.
    bool chooseClipArt(const QString& path);
    // A picture at least as wide as the screen is scaled to the screen's width (bicubic) and waits
    // to be placed at the left below the strip; a narrower one keeps its size and waits for the
    // press point.
    bool choosePicture(const QString& path);

    // The release after a press at pressPoint: what waits and where it floats (a picture as wide
    // as the screen below the strip); nothing while nothing waits. Afterwards nothing waits.
    std::optional<Placed> take(QPoint pressPoint);

private:
    QSize m_screenSize;
    QString m_programDirectory;
    PendingPlacement m_pending = PendingPlacement::None;
    QImage m_clipArt;
    // The picture chosen from the picture column, as the next placement takes it.
    QImage m_chosenPicture;
};
