#pragma once

#include "board/pixels/PageFormat.h"
#include "board/store/CompactPage.h"
#include "board/store/KeptBytes.h"
#include "board/store/KeptPage.h"
#include "board/store/PageKeeper.h"
#include "board/store/PageTextFolder.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

struct KeptBoard;

// What a page shows in the board's content panel.
enum class ContentKind { None = 0, Text = 1, WebDocument = 2 };

// Whether a page was filled or written on: 0 never filled, 1 cleared (or given its background
// colour), 2 written on.
enum class PageState { NeverFilled = 0, Cleared = 1, WrittenOn = 2 };

// The record of one page of the board; its pixels are kept by the store.
struct Page {
    PageState state = PageState::NeverFilled;
    ContentKind contentKind = ContentKind::None;
    QRect panelBounds;
    bool panelStamped = false;
};

// One page of a lesson as it is saved from the board or opened into it.
struct LessonPage {
    QImage picture; // null when a lesson's picture could not be read, or when one below holds it
    ContentKind contentKind = ContentKind::None;
    QRect panelBounds;
    QByteArray text; // the page text in rich-text form; empty when the page has none
    // An opened whole-screen opaque picture kept compact as soon as it is read, so that pages read
    // ahead hold little memory; picture is null then.
    CompactPage compactPicture;
    // A saved page's PNG file as the board keeps it (PageStore::pagePng); picture may be null then.
    KeptBytes png;
};

// The board's content: pages 1..99 at screen size with their records, the current page, and the
// images the board tools share (the scratch image, which is the undo snapshot and the overlay's
// working image; the underlay; the saved page image). Page images are Format_RGB32 and use screen
// coordinates. The current page, the scratch image, the underlay and the saved page are full
// images; every other page is kept compact (CompactPage) and decoded when it becomes current or
// is read, pixel for pixel as it was left. A page left behind is made compact, and its PNG file
// encoded for the next save, in the background (PageKeeper): the turn hands its image over and
// does not wait. Page texts are kept on disk in this run's folder of the
// program directory (PageTextFolder), which is removed at exit. The store never repaints:
// callers that change the current page make the screen show it.
class PageStore {
public:
    static constexpr int maxPages = 99;
    static constexpr QImage::Format pageFormat = ::pageFormat;

    // programDirectory ends with "/"; panelSize is the content panel's size at creation.
    PageStore(QSize screenSize, const QString& programDirectory, QSize panelSize);

    QSize screenSize() const { return m_screenSize; }
    QString programDirectory() const { return m_programDirectory; }

    int pageCount() const { return int(m_pages.size()); }
    int currentPage() const { return m_currentPage; }
    // Moves to page n, kept within 1..pageCount().
    void setCurrentPage(int n);

    Page& page(int n);
    const Page& page(int n) const;
    Page& current() { return page(m_currentPage); }
    // The current page's pixels, for drawing into and reading from. The reference stays valid for
    // the store's life and always holds the page that is current now.
    QImage& currentPageImage() { return m_currentImage; }
    // Page n's pixels: the current page's own image (shared), any other page decoded from its
    // compact form. Safe to call from several threads at once while the store is not changed.
    QImage pageImage(int n) const;

    // Page n's compact form when it holds the page as it is now: always for a page that is not
    // current, for the current page only while it is untouched since it became current. Copies
    // are cheap and stay as they are whatever the store does next.
    std::optional<CompactPage> compactPage(int n) const;
    // Page n's PNG file, exactly as PngCodec::encode writes the page, when it is made and holds
    // the page as it is now (as compactPage says); null otherwise.
    KeptBytes pagePng(int n) const;
    // Puts page n's pixels into target, reusing target's pixels when they are its own and of the
    // page's size and format. target holds the pixels of shown (a compact page, null when target
    // holds anything else): where page n is kept compact as it is now, only the tiles that differ
    // are written. shown becomes page n's compact form, or null. Returns the rectangles written.
    QList<QRect> drawPage(int n, QImage& target, CompactPage& shown) const;
    // Waits until every page left behind so far is compact and has its PNG file.
    void waitUntilKept() { m_keeper.waitUntilIdle(); }
    // The cache key of the current image: it changes with every write into the page.
    qint64 currentPageKey() const { return m_currentImage.cacheKey(); }

    QImage& scratchImage() { return m_scratch; }
    // Makes the scratch image an exact copy of the current page: the undo snapshot.
    void takeUndoSnapshot();
    QImage& underlayImage() { return m_underlay; }
    bool underlayActive() const { return m_underlayActive; }
    void setUnderlayActive(bool active) { m_underlayActive = active; }
    QImage& savedPageImage() { return m_savedPage; }

    // Colour of a page's background probe pixel.
    QColor backgroundOf(int n) const;

    // Fills the current page with the swatch colour when it was never filled; its state stays.
    void makeCurrentPageReady(const QColor& swatch);

    // Adds page currentPage() + 1 at the end, filled with the swatch colour, with the previous
    // page's panel bounds; the caller empties the text panel. Returns the new page's number.
    int addPage(const QColor& swatch);

    // The file that keeps page n's text.
    QString pageTextPath(int n) const;
    // Keeps the text panel of the current page: its text (rich-text form) and where it stands.
    // False when the text file could not be written; the bounds are kept all the same.
    bool savePanelState(const QByteArray& richText, const QRect& panelBounds);
    // Page n's kept text, or nothing when it was never saved.
    std::optional<QByteArray> pageText(int n) const;
    // Removes the text files of every page with their folder; missing files are no error.
    void deletePageTextFiles() const;

    // Replaces every page by the count pages of a lesson (1 ≤ count ≤ maxPages), taken one at a
    // time from pageAt(1), pageAt(2), ... so that only one lesson picture is held at once. Each
    // picture (or compact picture) is the whole page at screen size; pages become written on, and
    // their texts are put in place as page text files (a page without text has none). The current
    // page is kept, brought within the new page count. Returns the first page whose text file could
    // not be written, 0 when every one was.
    int replacePages(int count, const std::function<LessonPage(int n)>& pageAt);

    // Puts back a board kept by a backup: every page (1 to maxPages, each of the screen's size)
    // with its record and text, and the page that was current. A text that cannot be written to
    // its file is left out, as a page text the teacher keeps is.
    void restorePages(const KeptBoard& board);

private:
    // Makes the current image a page-sized image of its own (placed away from the scratch
    // image in memory), keeping its pixels when it already is one.
    void ownCurrentImage();
    // Hands the current image to the keeper as the current page, unless it has not changed since
    // it was opened from what is kept.
    void keepCurrent();
    // What is kept of page n when it holds the page as it is now: always for a page that is not
    // current, for the current page only while it is untouched since it became current. The one
    // rule for whether a page's compact form and PNG file are the page's.
    const KeptPage* keptAsItIsNow(int n) const;
    // Keeps these pages, in order, as the board's pages; their PNG files are made in the
    // background.
    void keepAll(const QList<CompactPage>& pages);
    // Makes page n current: takes its pixels decoded ahead, or decodes it into the current image.
    void openPage(int n);
    // Has page n decoded in the background when it is a picture, so that a turn on in the same
    // direction finds it ready; the page decoded ahead before is let go.
    void decodeAhead(int n);

    QSize m_screenSize;
    QString m_programDirectory;
    PageTextFolder m_texts;
    QList<Page> m_pages;    // page n is m_pages[n - 1]
    QList<KeptPage> m_kept; // likewise; the current page's holds it as it was opened
    int m_currentPage = 1;
    QImage m_currentImage;
    // The current image's cache key when it last matched what is kept of it: Qt changes the key
    // on every write access to an image, so an equal key means the page was not touched.
    qint64 m_currentKey = 0;
    int m_aheadPage = 0; // the page being decoded ahead, 0 when none
    QImage m_scratch;
    QImage m_underlay;
    bool m_underlayActive = false;
    QImage m_savedPage;
    PageKeeper m_keeper; // last: it finishes its page before the pages go
};
