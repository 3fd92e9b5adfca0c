#pragma once

#include <QImage>
#include <QObject>
#include <QRect>
#include <QString>
#include <QThreadPool>

#include <atomic>
#include <functional>

class BoardModel;

// How the strip shows pages. The number is also the scroll arrows' step: a whole spread of two
// pages, or one page.
enum class ThumbnailMode { LowerHalf = 1, TwoPages = 2 };

// The thumbnail strip over the board: a band as wide as the screen with a header (18 rows, or a
// 1-row line when collapsed) above a picture half the screen high. In two-page view the picture
// shows the page at the strip position in its left half and the next page in its right half; in
// lower-half view it shows the lower half of the page at the strip position. Pages appear at once
// with a fast stretch (the quick pass); the smooth pass, a half-size resampling of each shown page
// through the codec, runs on two worker threads and replaces them when it is done, unless the
// strip has moved on meanwhile. Picking a page turns the board to it.
// Coordinates: the strip's geometry is in screen pixels, the picture's area in the strip's own.
class ThumbnailStripModel : public QObject {
    Q_OBJECT
public:
    static constexpr int headerShown = 18;
    static constexpr int headerCollapsed = 1;
    // The high placement: right under the board's tool strip.
    static constexpr int highTop = 41;

    explicit ThumbnailStripModel(BoardModel& board);
    ~ThumbnailStripModel() override;

    bool isShown() const { return m_shown; }
    QRect stripGeometry() const;
    int headerHeight() const { return m_header; }
    // Where the picture stands in the strip: below a shown header, at the top under a collapsed
    // one.
    QRect areaGeometry() const;
    // The strip stands low (its "up" button shows) or high (its "down" button shows).
    bool isLow() const { return m_low; }
    ThumbnailMode mode() const { return m_mode; }
    int arrowStep() const { return int(m_mode); }
    // The strip position: the left page in two-page view, the shown page in lower-half view.
    int position() const { return m_position; }
    // " 7": what the position box shows.
    QString positionText() const;
    int pageCount() const;
    // The picture of the thumbnail area, as large as the area; null until first drawn.
    const QImage& picture() const { return m_picture; }
    // A smooth pass is computing for the pages shown now.
    bool smoothPassPending() const { return m_pending > 0; }
    // Blocks until no smooth work runs any more, current or stale, and takes in what it left, so
    // the picture is final. For tests and benchmarks: the board itself never waits.
    void waitForWorkers();

    // "缩略图查看": opens the strip at the current page, or toggles its header when it is open.
    // panelPixels gives the content panel's pixels on the screen, asked for only when the panel
    // is to be stamped.
    void open(const std::function<QImage()>& panelPixels);
    // A release on the picture at x: the board turns to the page under it and the strip closes.
    void pick(int x);
    // The scroll bar moved: the quick pass at the new position.
    void scrollTo(int position);
    // A scroll gesture ended: the smooth pass, in two-page view.
    void endScroll();
    void showLowerHalf();
    void showTwoPages();
    void moveUp();
    void moveDown();
    void collapseHeader();
    void close();

signals:
    // Shown or hidden, moved, header or buttons changed.
    void stripChanged();
    void positionChanged();
    void pageCountChanged();
    // Pixels of the picture changed in rect (the picture's own coordinates).
    void pictureChanged(const QRect& rect);
    // The latest smooth pass has drawn both of its pages.
    void smoothPassFinished();

private:
    // Page n's pixels, read through the page store.
    QImage pagePixels(int n) const;
    QColor backgroundOf(int n) const;
    void pagesChanged();
    void reportStrip();
    QImage& ensurePicture();
    QRect half(int side) const;
    void draw();
    void quickPass();
    void drawDivider();
    void drawLowerHalf();
    void startSmoothPass();
    void cancelSmoothPass();
    void smoothHalfReady(int side, int generation, const QImage& half);

    BoardModel& m_board;
    QSize m_screen;
    QString m_directory;
    bool m_shown = false;
    int m_top;
    int m_height;
    int m_header = headerCollapsed;
    int m_areaTop = 0;
    bool m_low = true;
    ThumbnailMode m_mode = ThumbnailMode::TwoPages;
    int m_position = 1;
    QImage m_picture;
    // Raised whenever the shown pages change: smooth results of an older generation are dropped,
    // and queued work of one does not start.
    std::atomic<int> m_generation = 0;
    int m_pending = 0;
    // Last, so that it is destroyed first and waits for the work still running.
    QThreadPool m_pool;
};
