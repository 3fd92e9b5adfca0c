#pragma once

#include "board/pixels/PageFormat.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

// What a page shows in the board's content panel.
enum class ContentKind { None = 0, Text = 1, WebDocument = 2 };

// Whether a page was filled or written on: 0 never filled, 1 cleared (or given its background
// colour), 2 written on.
enum class PageState { NeverFilled = 0, Cleared = 1, WrittenOn = 2 };

// One page of the board: its pixels and its record.
struct Page {
    QImage image;
    PageState state = PageState::NeverFilled;
    ContentKind contentKind = ContentKind::None;
    QRect panelBounds;
    bool panelStamped = false;
};

// One page of a lesson as it is saved from the board or opened into it.
struct LessonPage {
    QImage picture; // null when a lesson's picture could not be read
    ContentKind contentKind = ContentKind::None;
    QRect panelBounds;
    QByteArray text; // the page text in rich-text form; empty when the page has none
};

// The board's content: pages 1..99 at screen size with their records, the current page, and the
// images the board tools share (the scratch image, which is the undo snapshot and the overlay's
// working image; the underlay; the saved page image). Page images are Format_RGB32 and use screen
// coordinates. The page text of page n is kept on disk in the program directory under the name
// "n"; those files are deleted at exit. The store never repaints: callers that change the current
// page make the screen show it.
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
    QImage& currentPageImage() { return current().image; }

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
    void savePanelState(const QByteArray& richText, const QRect& panelBounds);
    // Page n's kept text, or nothing when it was never saved.
    std::optional<QByteArray> pageText(int n) const;
    // Removes the text files of every page; missing files are no error.
    void deletePageTextFiles() const;

    // Replaces every page by the count pages of a lesson (1 ≤ count ≤ maxPages), taken one at a
    // time from pageAt(1), pageAt(2), ... so that only one lesson picture is held at once. Each
    // picture is the whole page at screen size; pages become written on, and their texts are put
    // in place as page text files (a page without text has none). The current page is kept,
    // brought within the new page count.
    void replacePages(int count, const std::function<LessonPage(int n)>& pageAt);

private:
    // A page-sized image filled with colour (black for a page never filled).
    QImage newPageImage(const QColor& colour) const;
    void writePageText(int n, const QByteArray& richText) const;

    QSize m_screenSize;
    QString m_programDirectory;
    QList<Page> m_pages; // page n is m_pages[n - 1]
    int m_currentPage = 1;
    QImage m_scratch;
    QImage m_underlay;
    bool m_underlayActive = false;
    QImage m_savedPage;
};
