#pragma once

#include "board/store/CompactPage.h"
#include "board/store/PageStore.h"

#include <QByteArray>
#include <QList>

#include <optional>

// A whole board as a backup keeps it: every page's record, pixels (compact, at the screen's
// size) and text (rich-text form; none for a page without one), and the page that was current.
struct KeptBoard {
    int currentPage = 1;
    QList<Page> records;
    QList<CompactPage> pixels;
    QList<std::optional<QByteArray>> texts;
};
