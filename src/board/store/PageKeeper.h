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
// PNG files above KeptBytes::InMemoryLimit, and the compressed bytes of pictures' compact forms,
// are kept in the user's cache folder, out of memory; where that folder cannot take a PNG, the
// page has none and a save encodes it.
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
    // (KeptPage::takeDecoded); beside the keeping of pages, and not when the page stops being
    // wanted first.
    void decodeAhead(const KeptPage& page, QImage target);
    // A full image of size and format that the keeper is done with, for the store to write its
    // next page into, so that a turn need not map and fault in new memory; null when there is none.
    QImage takeSpareImage(QSize size, QImage::Format format);
    // Keeps image as the spare unless there is one already or anyone else holds its pixels.
    void offerSpare(QImage image);
    // Waits until every page given so far is kept, and decoded where asked.
    void waitUntilIdle()
    {
        m_thread.waitForDone();
        m_aheadThread.waitForDone();
    }

private:
    using State = KeptPage::State;
    // Runs work on one of the keeper's threads; when it leaves nothing queued, the memory the
    // keeper freed goes back to the system.
    void run(std::function<void()> work, int priority) { run(std::move(work), priority, m_thread); }
    void run(std::function<void()> work, int priority, QThreadPool& thread);
    void makeCompact(const std::weak_ptr<State>& page);
    void makePng(const std::weak_ptr<State>& page, const QImage& image);
    // Moves a picture's compact form out of memory as soon as it is made (CompactPage).
    void moveOutIfPicture(const std::weak_ptr<State>& page);

    QString m_folder;
    std::atomic<int> m_imagesWaiting = 0;
    std::atomic<int> m_queued = 0;
    std::mutex m_spareLock;
    QImage m_spare; // one: a teacher turns seconds apart, and each image held is 8 MB at 1080p
    std::atomic<bool> m_stopping = false;
    // Last: they are finished before anything they use goes. Pages are decoded ahead on a thread
    // of their own, so that the next turn does not wait behind a PNG file being encoded.
    QThreadPool m_thread;
    QThreadPool m_aheadThread;
};
