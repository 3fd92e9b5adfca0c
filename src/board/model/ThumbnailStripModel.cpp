#include "board/model/ThumbnailStripModel.h"

#include "board/codec/ImageCodec.h"
#include "board/model/BoardModel.h"
#include "board/pixels/RasterCopy.h"
#include "board/pixels/Rounding.h"

#include <QCoreApplication>
#include <QtConcurrent/QtConcurrentRun>

namespace {

// The smooth pass of one page: the whole page resampled to half its size with low-quality
// interpolation, through the codec's scaled copy and its "tmp.bmt".
QImage smoothHalf(const QImage& page, const QString& directory)
{
    const QSize size(roundHalfToEven(page.width() / 2.0), roundHalfToEven(page.height() / 2.0));
    return ImageCodec::scaledCopy(page, QRectF(page.rect()), size, QRectF(QPointF(0, 0), size),
                                  Interpolation::LowQuality, directory)
        .convertToFormat(QImage::Format_RGB32);
}

} // namespace

ThumbnailStripModel::ThumbnailStripModel(BoardModel& board)
    : m_board(board), m_screen(board.screenSize()), m_directory(board.pages().programDirectory()),
      m_top(m_screen.height() / 2), m_height(m_screen.height() / 2)
{
    // One thread for each shown page.
    m_pool.setMaxThreadCount(2);
    connect(&m_board, &BoardModel::pageChanged, this, &ThumbnailStripModel::pagesChanged);
}

ThumbnailStripModel::~ThumbnailStripModel()
{
    cancelSmoothPass();
}

QRect ThumbnailStripModel::stripGeometry() const
{
    return {0, m_top, m_screen.width(), m_height};
}

QRect ThumbnailStripModel::areaGeometry() const
{
    return {0, m_areaTop, m_screen.width(), m_screen.height() / 2};
}

QString ThumbnailStripModel::positionText() const
{
    return QLatin1Char(' ') + QString::number(m_position);
}

int ThumbnailStripModel::pageCount() const
{
    return m_board.pages().pageCount();
}

QImage ThumbnailStripModel::pagePixels(int n) const
{
    return m_board.pages().pageImage(n);
}

QColor ThumbnailStripModel::backgroundOf(int n) const
{
    return m_board.pages().backgroundOf(n);
}

void ThumbnailStripModel::pagesChanged()
{
    // Fewer pages (a lesson opened) pull the position back with them, as the scroll bar's range.
    if (m_position > pageCount())
        scrollTo(pageCount());
    emit pageCountChanged();
}

void ThumbnailStripModel::reportStrip()
{
    m_board.setThumbnailStrip(m_shown ? std::optional<QRect>(stripGeometry()) : std::nullopt);
    emit stripChanged();
}

void ThumbnailStripModel::open(const std::function<QImage()>& panelPixels)
{
    m_low = true;
    if (!m_shown) {
        m_board.openThumbnails(panelPixels);
        m_position = m_board.pages().currentPage();
        m_shown = true;
        emit positionChanged();
    }
    const int half = m_screen.height() / 2;
    if (m_header == headerShown) {
        m_top = half;
        m_height = half;
        m_areaTop = 0;
        m_header = headerCollapsed;
    } else {
        m_top = half - headerShown;
        m_height = half + headerShown;
        m_header = headerShown;
        m_areaTop = headerShown;
    }
    reportStrip();
    draw();
    if (m_mode == ThumbnailMode::TwoPages)
        startSmoothPass();
}

void ThumbnailStripModel::pick(int x)
{
    if (!m_shown)
        return;
    m_shown = false;
    cancelSmoothPass();
    reportStrip();
    // The right half shows the next page in two-page view; in lower-half view the whole picture
    // is the one page shown.
    int page = m_position;
    if (m_mode == ThumbnailMode::TwoPages && x > m_screen.width() / 2)
        page = std::min(m_position + 1, pageCount());
    m_board.goToPage(page);
    // The header is toggled like the open button toggles it, so the next opening shows it as it
    // was before this one.
    m_header = m_header == headerShown ? headerCollapsed : headerShown;
    emit stripChanged();
}

void ThumbnailStripModel::scrollTo(int position)
{
    position = std::clamp(position, 1, pageCount());
    if (position != m_position) {
        m_position = position;
        emit positionChanged();
    }
    if (!m_shown)
        return;
    cancelSmoothPass();
    draw();
}

void ThumbnailStripModel::endScroll()
{
    if (m_shown && m_mode == ThumbnailMode::TwoPages)
        startSmoothPass();
}

void ThumbnailStripModel::showLowerHalf()
{
    m_mode = ThumbnailMode::LowerHalf;
    cancelSmoothPass();
    draw();
    emit stripChanged();
}

void ThumbnailStripModel::showTwoPages()
{
    m_mode = ThumbnailMode::TwoPages;
    cancelSmoothPass();
    draw();
    emit stripChanged();
}

void ThumbnailStripModel::moveUp()
{
    m_top = highTop;
    m_low = false;
    reportStrip();
}

void ThumbnailStripModel::moveDown()
{
    m_top = m_screen.height() / 2 - headerShown;
    m_low = true;
    reportStrip();
}

void ThumbnailStripModel::collapseHeader()
{
    m_height = m_screen.height() / 2;
    m_areaTop = 0;
    m_header = headerCollapsed;
    reportStrip();
}

void ThumbnailStripModel::close()
{
    m_shown = false;
    cancelSmoothPass();
    m_top = m_screen.height() / 2;
    m_low = true;
    m_height = m_screen.height() / 2;
    m_areaTop = 0;
    m_header = headerCollapsed;
    reportStrip();
}

QImage& ThumbnailStripModel::ensurePicture()
{
    if (m_picture.isNull())
        m_picture = QImage(m_screen.width(), m_screen.height() / 2, QImage::Format_RGB32);
    return m_picture;
}

QRect ThumbnailStripModel::half(int side) const
{
    const int middle = m_picture.width() / 2;
    return side == 0 ? QRect(0, 0, middle, m_picture.height())
                     : QRect(middle, 0, m_picture.width() - middle, m_picture.height());
}

void ThumbnailStripModel::draw()
{
    if (m_mode == ThumbnailMode::LowerHalf)
        drawLowerHalf();
    else
        quickPass();
}

void ThumbnailStripModel::quickPass()
{
    QImage& picture = ensurePicture();
    const QImage left = pagePixels(m_position);
    RasterCopy::stretch(left, left.rect(), picture, half(0));
    if (m_position < pageCount()) {
        const QImage right = pagePixels(m_position + 1);
        RasterCopy::stretch(right, right.rect(), picture, half(1));
    } else {
        RasterCopy::fill(picture, half(1), backgroundOf(m_position));
    }
    drawDivider();
    emit pictureChanged(picture.rect());
}

void ThumbnailStripModel::drawDivider()
{
    // Black between the pages, white where the left page is black.
    const QColor background = backgroundOf(m_position);
    const QColor line = background.rgb() == QColor(Qt::black).rgb() ? Qt::white : Qt::black;
    RasterCopy::fill(m_picture, QRect(m_picture.width() / 2, 0, 1, m_picture.height()), line);
}

void ThumbnailStripModel::drawLowerHalf()
{
    QImage& picture = ensurePicture();
    const QImage page = pagePixels(m_position);
    const int top = page.height() / 2;
    RasterCopy::stretch(page, QRect(0, top, page.width(), page.height() - top), picture,
                        picture.rect());
    emit pictureChanged(picture.rect());
}

void ThumbnailStripModel::startSmoothPass()
{
    cancelSmoothPass();
    const int generation = m_generation;
    m_pending = m_position < pageCount() ? 2 : 1;
    for (int side = 0; side < m_pending; ++side) {
        // The page is shared with the worker: a stroke on it meanwhile makes the board's copy its
        // own, so the worker reads the page as it was when the pass began.
        const QImage page = pagePixels(m_position + side);
        QtConcurrent::run(&m_pool, [this, page, generation, directory = m_directory] {
            if (m_generation != generation)
                return QImage();
            return smoothHalf(page, directory);
        }).then(this, [this, side, generation](const QImage& result) {
            smoothHalfReady(side, generation, result);
        });
    }
}

void ThumbnailStripModel::waitForWorkers()
{
    m_pool.waitForDone();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void ThumbnailStripModel::cancelSmoothPass()
{
    ++m_generation;
    m_pending = 0;
}

void ThumbnailStripModel::smoothHalfReady(int side, int generation, const QImage& result)
{
    if (generation != m_generation)
        return;
    // Without a result (no memory for the bitmap) the quick pass stays.
    if (!result.isNull()) {
        const QRect target = half(side);
        RasterCopy::stretch(result, result.rect(), m_picture, target);
        drawDivider();
        emit pictureChanged(target.united(QRect(m_picture.width() / 2, 0, 1, m_picture.height())));
    }
    if (--m_pending == 0)
        emit smoothPassFinished();
}
