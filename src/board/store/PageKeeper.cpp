#include "board/store/PageKeeper.h"

#include "board/codec/PngCodec.h"
#include "board/store/PlacedImage.h"

#include <QDir>
#include <QStandardPaths>

#include <malloc.h>
#include <pthread.h>
#include <sched.h>
#include <unistd.h>
#include <utility>

namespace {

// Pages left behind go before the PNG files of pages that came compact: their full images are
// what holds memory.
constexpr int LeftPagePriority = 1;

// The keeper works behind the teacher: on two cores its encoding (and the helper threads it
// starts, which inherit this) would otherwise take a core from the turn and the stroke that the
// teacher waits for. An idle thread runs only on a core nothing else wants, and gives it up the
// moment the interface wakes.
void yieldToTheInterface()
{
    // Once for each of the pool's threads; where it is refused the keeper works as it is.
    [[maybe_unused]] thread_local const int lowered = [] {
        const sched_param idle{};
        return ::pthread_setschedparam(::pthread_self(), SCHED_IDLE, &idle);
    }();
}

} // namespace

PageKeeper::PageKeeper() : m_folder(QStandardPaths::writableLocation(QStandardPaths::CacheLocation))
{
    QDir().mkpath(m_folder);
    m_thread.setMaxThreadCount(1);
    m_aheadThread.setMaxThreadCount(1);
}

PageKeeper::~PageKeeper()
{
    m_stopping = true;
    m_aheadThread.clear();
    m_thread.clear();
    m_aheadThread.waitForDone();
    m_thread.waitForDone();
}

KeptPage PageKeeper::keep(const QImage& image)
{
    if (m_imagesWaiting.fetch_add(1) >= MaxImagesWaiting) {
        --m_imagesWaiting;
        // The keeper is behind: the page is made compact here, and a picture leaves memory at
        // once rather than wait in it for the keeper.
        const CompactPage compact(image);
        if (compact.isPicture())
            compact.moveOutOfMemory(m_folder);
        return keep(compact);
    }
    auto state = std::make_shared<State>();
    state->image = image;
    run([this, page = std::weak_ptr(state)] { makeCompact(page); }, LeftPagePriority);
    return KeptPage(state);
}

KeptPage PageKeeper::keep(const CompactPage& compact)
{
    auto state = std::make_shared<State>();
    state->compact = compact;
    // Out of memory first, with the pages left behind: the PNG files wait behind those.
    if (compact.isPicture())
        run([this, page = std::weak_ptr(state)] { moveOutIfPicture(page); }, LeftPagePriority);
    run(
        [this, page = std::weak_ptr(state)] {
            // Decoded only when the page is still kept; it may be dropped while its PNG is made.
            QImage image;
            bool spare = false;
            if (const std::shared_ptr<State> state = page.lock()) {
                image = takeSpareImage(state->compact.size(), state->compact.format());
                spare = !image.isNull();
                if (!spare) // pixels of their own, which leave no hole in the heap
                    image = placedImage(state->compact.size(), state->compact.format(), 0);
                state->compact.decodeInto(image);
            }
            if (!image.isNull())
                makePng(page, image);
            // Only the store's own images are placed for its pages (PageStore).
            if (spare)
                offerSpare(std::move(image));
        },
        0);
    return KeptPage(state);
}

void PageKeeper::run(std::function<void()> work, int priority, QThreadPool& thread)
{
    ++m_queued;
    thread.start(
        [this, work = std::move(work)] {
            yieldToTheInterface();
            work();
            // The compact forms and PNG files made here come from this thread's own heap; what
            // they leave freed between live blocks would stay resident for good.
            if (--m_queued == 0)
                malloc_trim(0);
        },
        priority);
}

void PageKeeper::makeCompact(const std::weak_ptr<State>& page)
{
    QImage image;
    bool spare = false;
    if (const std::shared_ptr<State> state = page.lock()) {
        {
            const std::lock_guard lock(state->lock);
            image = state->image;
        }
        KeptPage::makeCompact(*state);
        // A reader that made the compact form first may have let the image go.
        if (image.isNull()) {
            image = placedImage(state->compact.size(), state->compact.format(), 0);
            KeptPage(state).compact().decodeInto(image);
        } else {
            spare = true;
        }
    }
    --m_imagesWaiting;
    moveOutIfPicture(page);
    if (!image.isNull())
        makePng(page, image);
    // The store's own image, placed for its pages (PageStore).
    if (spare)
        offerSpare(std::move(image));
}

void PageKeeper::decodeAhead(const KeptPage& page, QImage target)
{
    {
        const std::lock_guard lock(page.m_state->lock);
        page.m_state->decodedWanted = true;
    }
    run(
        [page = std::weak_ptr(page.m_state), target = std::move(target)]() mutable {
            const std::shared_ptr<State> state = page.lock();
            if (!state)
                return;
            CompactPage compact;
            {
                const std::lock_guard lock(state->lock);
                if (!state->decodedWanted)
                    return;
                compact = state->compact;
            }
            compact.decodeInto(target);
            const std::lock_guard lock(state->lock);
            if (state->decodedWanted)
                state->decoded = std::move(target);
        },
        0, m_aheadThread);
}

QImage PageKeeper::takeSpareImage(QSize size, QImage::Format format)
{
    const std::lock_guard lock(m_spareLock);
    if (m_spare.size() != size || m_spare.format() != format)
        return {};
    return std::exchange(m_spare, QImage());
}

void PageKeeper::offerSpare(QImage image)
{
    // The store writes into a spare: no one else may see those pixels.
    if (image.isNull() || !image.isDetached())
        return;
    const std::lock_guard lock(m_spareLock);
    if (m_spare.isNull())
        m_spare = std::move(image);
}

void PageKeeper::makePng(const std::weak_ptr<State>& page, const QImage& image)
{
    if (page.expired() || m_stopping)
        return;
    const KeptBytes png = KeptBytes::keep(PngCodec::encode(image), m_folder);
    if (const std::shared_ptr<State> state = page.lock()) {
        const std::lock_guard lock(state->lock);
        state->png = png;
    }
}

void PageKeeper::moveOutIfPicture(const std::weak_ptr<State>& page)
{
    CompactPage compact;
    if (const std::shared_ptr<State> state = page.lock()) {
        const std::lock_guard lock(state->lock);
        compact = state->compact;
    }
    // A picture is read again only when it is turned to, saved or backed up.
    if (compact.isPicture() && !m_stopping)
        compact.moveOutOfMemory(m_folder);
}
