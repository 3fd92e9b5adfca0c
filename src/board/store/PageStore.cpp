#include "board/store/PageStore.h"

#include "board/pixels/ProbePixel.h"
#include "board/pixels/RasterCopy.h"
#include "board/store/KeptBoard.h"
#include "board/store/PlacedImage.h"

#include <algorithm>
#include <utility>

namespace {

// Where the pixels of the store's own full images start within a 4 KiB memory page. A copy
// between two images whose pixels lie a few bytes apart modulo 4 KiB stalls the processor on
// every store (4K aliasing) and runs at half speed; the page-to-scratch copy of every release is
// one. So the current page and the scratch image lie half a memory page apart, and both away from
// where the allocator puts other images' pixels (16 bytes into a memory page).
constexpr qsizetype CurrentPageOffset = 1024 + 64;
constexpr qsizetype ScratchOffset = 3072 + 64;

QImage placedPage(QSize size, qsizetype offset)
{
    const QImage image = placedImage(size, PageStore::pageFormat, offset);
    return image.isNull() ? QImage(size, PageStore::pageFormat) : image;
}

} // namespace

PageStore::PageStore(QSize screenSize, const QString& programDirectory, QSize panelSize)
    : m_screenSize(screenSize), m_programDirectory(programDirectory), m_texts(programDirectory)
{
    Page first;
    first.panelBounds = QRect(0, 41, panelSize.width(), panelSize.height());
    m_pages.append(first);
    m_kept.append(KeptPage());
    m_currentImage = placedPage(m_screenSize, CurrentPageOffset);
    m_currentImage.fill(Qt::black);
    m_scratch = placedPage(m_screenSize, ScratchOffset);
    m_scratch.fill(Qt::black);
}

void PageStore::ownCurrentImage()
{
    if (!m_currentImage.isDetached() || m_currentImage.size() != m_screenSize ||
        m_currentImage.format() != pageFormat)
        m_currentImage = m_keeper.takeSpareImage(m_screenSize, pageFormat);
    if (m_currentImage.isNull())
        m_currentImage = placedPage(m_screenSize, CurrentPageOffset);
}

void PageStore::setCurrentPage(int n)
{
    n = std::clamp(n, 1, pageCount());
    if (n == m_currentPage)
        return;
    const int step = n > m_currentPage ? 1 : -1;
    keepCurrent();
    openPage(n);
    decodeAhead(n + step);
}

void PageStore::keepCurrent()
{
    // The image goes to the keeper as it is; the next page gets an image of its own
    // (ownCurrentImage), so the kept one is never written to again.
    if (!keptAsItIsNow(m_currentPage))
        m_kept[m_currentPage - 1] = m_keeper.keep(m_currentImage);
}

void PageStore::openPage(int n)
{
    m_currentPage = n;
    if (QImage ahead = m_kept[n - 1].takeDecoded(); !ahead.isNull()) {
        // The image it replaces is decoded into next, rather than unmapped on the turn.
        m_keeper.offerSpare(std::exchange(m_currentImage, std::move(ahead)));
    } else {
        ownCurrentImage();
        m_kept[n - 1].decodeInto(m_currentImage);
    }
    m_currentKey = m_currentImage.cacheKey();
}

void PageStore::decodeAhead(int n)
{
    if (n == m_aheadPage)
        return;
    if (m_aheadPage >= 1 && m_aheadPage <= pageCount() && m_aheadPage != m_currentPage)
        m_kept[m_aheadPage - 1].takeDecoded();
    m_aheadPage = 0;
    if (n < 1 || n > pageCount() || !m_kept[n - 1].isWorthDecodingAhead())
        return;
    m_aheadPage = n;
    QImage target = m_keeper.takeSpareImage(m_screenSize, pageFormat);
    m_keeper.decodeAhead(m_kept[n - 1], target.isNull()
                                            ? placedPage(m_screenSize, CurrentPageOffset)
                                            : std::move(target));
}

const KeptPage* PageStore::keptAsItIsNow(int n) const
{
    Q_ASSERT(n >= 1 && n <= pageCount());
    const KeptPage& kept = m_kept[n - 1];
    if (kept.isNull() || (n == m_currentPage && m_currentImage.cacheKey() != m_currentKey))
        return nullptr;
    return &kept;
}

QImage PageStore::pageImage(int n) const
{
    Q_ASSERT(n >= 1 && n <= pageCount());
    return n == m_currentPage ? m_currentImage : m_kept[n - 1].toImage();
}

QList<QRect> PageStore::drawPage(int n, QImage& target, CompactPage& shown) const
{
    Q_ASSERT(n >= 1 && n <= pageCount());
    if (const KeptPage* kept = keptAsItIsNow(n))
        return kept->decodeChangesInto(target, shown);
    shown = CompactPage();
    RasterCopy::copyWhole(m_currentImage, target);
    return {target.rect()};
}

std::optional<CompactPage> PageStore::compactPage(int n) const
{
    if (const KeptPage* kept = keptAsItIsNow(n))
        return kept->compact();
    return std::nullopt;
}

KeptBytes PageStore::pagePng(int n) const
{
    const KeptPage* kept = keptAsItIsNow(n);
    return kept ? kept->png() : KeptBytes();
}

Page& PageStore::page(int n)
{
    Q_ASSERT(n >= 1 && n <= pageCount());
    return m_pages[n - 1];
}

const Page& PageStore::page(int n) const
{
    Q_ASSERT(n >= 1 && n <= pageCount());
    return m_pages[n - 1];
}

void PageStore::takeUndoSnapshot()
{
    const QImage& page = currentPageImage();
    if (m_scratch.size() == page.size() && m_scratch.format() == page.format())
        RasterCopy::copy(page, page.rect(), m_scratch, QPoint(0, 0));
    else
        m_scratch = page.copy();
}

QColor PageStore::backgroundOf(int n) const
{
    const QPoint probe = ProbePixel::background(m_screenSize);
    if (n == m_currentPage)
        return m_currentImage.pixelColor(probe);
    // The pixel read the way a full image of the page would read it.
    const KeptPage& kept = m_kept[n - 1];
    QImage pixel(1, 1, kept.format());
    reinterpret_cast<QRgb*>(pixel.bits())[0] = kept.pixel(probe);
    return pixel.pixelColor(0, 0);
}

void PageStore::makeCurrentPageReady(const QColor& swatch)
{
    if (current().state == PageState::NeverFilled)
        m_currentImage.fill(swatch);
}

int PageStore::addPage(const QColor& swatch)
{
    Q_ASSERT(pageCount() < maxPages);
    keepCurrent();
    Page added;
    added.panelBounds = m_pages.last().panelBounds;
    m_pages.append(added);
    // The new page is filled in the current image's pixels and is one colour, so its compact
    // form needs no encoding.
    ownCurrentImage();
    m_currentImage.fill(swatch);
    const QRgb filled = reinterpret_cast<const QRgb*>(m_currentImage.constBits())[0];
    // Its PNG file is left to a save: a page is added to be written on.
    m_kept.append(KeptPage::withoutPng(CompactPage::filled(m_screenSize, pageFormat, filled)));
    m_currentPage = pageCount();
    m_currentKey = m_currentImage.cacheKey();
    return m_currentPage;
}

QString PageStore::pageTextPath(int n) const
{
    return m_texts.pathOf(n);
}

bool PageStore::savePanelState(const QByteArray& richText, const QRect& panelBounds)
{
    current().panelBounds = panelBounds;
    return m_texts.write(m_currentPage, richText);
}

std::optional<QByteArray> PageStore::pageText(int n) const
{
    return m_texts.read(n);
}

void PageStore::deletePageTextFiles() const
{
    m_texts.removeAll();
}

int PageStore::replacePages(int count, const std::function<LessonPage(int n)>& pageAt)
{
    Q_ASSERT(count >= 1 && count <= maxPages);
    QList<Page> pages;
    QList<CompactPage> compact;
    int textRefused = 0;
    for (int n = 1; n <= count; ++n) {
        const LessonPage source = pageAt(n);
        Q_ASSERT((source.compactPicture.isNull() ? source.picture.size()
                                                 : source.compactPicture.size()) == m_screenSize);
        Page page;
        page.state = PageState::WrittenOn;
        page.contentKind = source.contentKind;
        page.panelBounds = source.panelBounds;
        pages.append(page);
        compact.append(source.compactPicture.isNull()
                           ? CompactPage(source.picture.convertToFormat(pageFormat))
                           : source.compactPicture);
        if (source.text.isEmpty())
            m_texts.remove(n);
        else if (!m_texts.write(n, source.text) && textRefused == 0)
            textRefused = n;
    }
    m_pages = pages;
    keepAll(compact);
    openPage(std::clamp(m_currentPage, 1, pageCount()));
    return textRefused;
}

void PageStore::restorePages(const KeptBoard& board)
{
    const QList<Page>& records = board.records;
    Q_ASSERT(!records.isEmpty() && records.size() <= maxPages);
    Q_ASSERT(board.pixels.size() == records.size() && board.texts.size() == records.size());
    for (int n = 1; n <= records.size(); ++n) {
        Q_ASSERT(board.pixels[n - 1].size() == m_screenSize);
        const std::optional<QByteArray>& text = board.texts[n - 1];
        if (text)
            m_texts.write(n, *text);
        else
            m_texts.remove(n);
    }
    // Texts of pages beyond the board's new end would show on pages added later.
    for (int n = records.size() + 1; n <= pageCount(); ++n)
        m_texts.remove(n);
    m_pages = records;
    keepAll(board.pixels);
    openPage(std::clamp(board.currentPage, 1, pageCount()));
}

void PageStore::keepAll(const QList<CompactPage>& pages)
{
    // The old pages go first, so that the keeper skips those it has not come to.
    m_kept.clear();
    m_aheadPage = 0;
    for (const CompactPage& page : pages)
        m_kept.append(m_keeper.keep(page));
}
