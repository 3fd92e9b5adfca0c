#pragma once

#include "board/store/CompactPage.h"
#include "board/store/PageStore.h"

#include <QByteArray>
#include <QImage>
#include <QList>

#include <optional>

// The board as one backup takes it on the interface thread, for a worker to write: every page's
// record and text, and its pixels as the page store keeps them compact. The current page, when
// written on since it became current, comes as a copy of its image (currentImage) to be made
// compact on the worker; when also untouched since the last backup, as nothing at all.
struct BoardSnapshot {
    int currentPage = 1;
    QList<Page> records;
    // Null for the current page when it is given as currentImage or unchanged.
    QList<CompactPage> pixels;
    QImage currentImage;
    QList<std::optional<QByteArray>> texts;
};
