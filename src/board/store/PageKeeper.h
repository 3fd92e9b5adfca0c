#pragma once

#include "board/store/KeptPage.h"

#include <QString>
#include <QThreadPool>

#include <atomic>
#include <functional>
#include <mutex>

// Keeps the pages the board leaves behind on a thread of its own, so that a turn does not wait for
// their encoding and a save finds their PNG files made: a page left as an image is made compact
// first, then its PNG is encoded; a page that comes compact (opened, restored) only has its PNG
// encoded, after the pages left behind. A page dropped before the keeper comes to it is skipped.
// PNG files above KeptBytes::InMemoryLimit are kept in the user's cache folder, out of memory;
// where that folder cannot take them, the page has no PNG and a save encodes it.
class PageKeeper {
public:
    // At most this many pages wait as full images: when turns come faster than the keeper, a
    // page left then is made compact on the turn itself, as it would be with no keeper.
    static constexpr int MaxImagesWaiting = 2;

    PageKeeper();
    // Waits for the page being kept; those still waiting are dropped with the keeper.
    ~PageKeeper();

    // Keeps the page that image shows; the image must not be written to afterwards (a copy of it
    // that is written to detaches).
    KeptPage keep(const QImage& image);
    KeptPage keep(const CompactPage& compact);
    // Decodes a compact page into target in the background, for a turn to it to take
    // (KeptPage::takeDecoded); after the pages waiting to be kept, and not when the page stops
    // being wanted first.
    void decodeAhead(const KeptPage& page, QImage target);
    // A full image of size and format that the keeper is done with, for the store to write its
    // next page into, so that a turn need not map and fault in new memory; null when there is none.
    QImage takeSpareImage(QSize size, QImage::Format format);
    // Keeps image as the spare unless there is one already or anyone else holds its pixels.
    void offerSpare(QImage image);
    // Waits until every page given so far is kept.
    void waitUntilIdle() { m_thread.waitForDone(); }

private:
    using State = KeptPage::State;
    // Runs work on the keeper's thread; when it leaves nothing queued, the memory the keeper freed
    // goes back to the system.
    void run(std::function<void()> work, int priority);
    void makeCompact(const std::weak_ptr<State>& page);
    void makePng(const std::weak_ptr<State>& page, const QImage& image);

    QString m_folder;
    std::atomic<int> m_imagesWaiting = 0;
    std::atomic<int> m_queued = 0;
    std::mutex m_spareLock;
    QImage m_spare; // one: a teacher turns seconds apart, and each image held is 8 MB at 1080p
    std::atomic<bool> m_stopping = false;
    QThreadPool m_thread; // last: it is finished before anything it uses goes
};
