#include "board/model/BoardModel.h"

#include "board/model/TextPanelColour.h"
#include "board/pixels/BoardGeometry.h"
#include "board/pixels/ColourRef.h"
#include "board/pixels/NamedColours.h"
#include "board/pixels/ProbePixel.h"
#include "board/pixels/RasterCopy.h"
#include "board/store/KeptBoard.h"
#include "platform/Prompter.h"

#include <QPainter>
#include <QRegion>

namespace {

// The pen's colour until personal settings apply theirs.
constexpr quint32 designedStrokeColour = 255;
constexpr int designedStrokeWidth = 2;
// Undo brings back this much around the last stroke box.
constexpr int undoMargin = 100;

} // namespace

BoardModel::BoardModel(QSize screenSize, const QString& programDirectory, Prompter& prompter)
    : m_screenSize(screenSize), m_programDirectory(programDirectory), m_prompter(prompter),
      m_screen(screenSize),
      m_pages(screenSize, programDirectory, BoardGeometry::contentPanelBounds(screenSize).size()),
      m_pen(ColourRef::toColor(designedStrokeColour), designedStrokeWidth),
      m_backgroundSwatch(NamedColours::color(NamedColours::standardGrey)),
      m_contentPanel(m_pages, m_screen, prompter), m_placement(screenSize, programDirectory)
{
    m_screen.setRepaintHandler([this](const QRect& rect) { emit repaintNeeded(rect); });
    connect(&m_contentPanel, &ContentPanelModel::changed, this, &BoardModel::contentPanelChanged);
    m_stroke.strokeWidth = m_pen.width();
    m_stroke.pen = BoardToolSet::penFor(m_toolMode, m_pen.width(), m_pen.colour(),
                                        m_screen.backgroundColour());
}

Canvas BoardModel::canvas()
{
    QList<KeepOut> keepOut;
    if (m_thumbnailStrip) {
        // The strip stands either right below the tool strip or lower down, below the drawing.
        const bool atTop = m_thumbnailStrip->top() == BoardGeometry::panelTop;
        keepOut.append({atTop ? KeepOut::Side::Above : KeepOut::Side::Below, *m_thumbnailStrip});
    }
    if (contentPanel().shown)
        keepOut.append({KeepOut::Side::Left, contentPanel().bounds});
    return Canvas{m_screen,
                  m_pages.currentPageImage(),
                  m_pages.scratchImage(),
                  m_pages.underlayActive() ? &m_pages.underlayImage() : nullptr,
                  BoardGeometry::stripHeight,
                  keepOut};
}

void BoardModel::setReadout(const QString& text)
{
    if (text == m_readout)
        return;
    m_readout = text;
    emit readoutChanged();
}

void BoardModel::setStrokeWidth(int width)
{
    m_pen.setWidth(width);
    m_stroke.strokeWidth = width;
    m_stroke.pen.width = BoardToolSet::penWidth(m_toolMode, width);
    emit settingsChanged();
}

void BoardModel::setStrokeColour(const QColor& colour)
{
    m_pen.setColour(colour);
    if (BoardToolSet::usesStrokeColour(m_toolMode))
        m_stroke.pen.colour = colour;
    emit settingsChanged();
}

void BoardModel::setBackgroundSwatch(const QColor& colour)
{
    m_backgroundSwatch = colour;
    emit settingsChanged();
}

void BoardModel::makeCurrentPageReady()
{
    m_pages.makeCurrentPageReady(m_backgroundSwatch);
}

void BoardModel::fillCurrentPage()
{
    m_pages.currentPageImage().fill(m_backgroundSwatch);
    repaintFromPage();
}

void BoardModel::replaceCurrentPage(const QImage& picture)
{
    QImage& page = m_pages.currentPageImage();
    RasterCopy::copy(picture, page.rect(), page, QPoint(0, 0));
    repaintFromPage();
}

void BoardModel::showOnWindow()
{
    m_stroke.box = {};
    repaintFromPage();
}

void BoardModel::repaintFromPage()
{
    m_screen.showPage(m_pages.currentPageImage());
}

void BoardModel::floatingPictureMoved(const QRect& before)
{
    // What the picture uncovered is drawn from the page, as a repaint of the window would.
    const QRegion uncovered =
        QRegion(before) - QRegion(m_floating.isShown() ? m_floating.geometry() : QRect());
    for (const QRect& rect : uncovered)
        m_screen.copyFrom(m_pages.currentPageImage(), rect);
    emit floatingPictureChanged();
}

void BoardModel::putDownFloatingPicture()
{
    if (!m_floating.isShown())
        return;
    const QRect before = m_floating.geometry();
    m_floating.framedCommit(m_pages.currentPageImage());
    floatingPictureMoved(before);
}

void BoardModel::press(QPoint point)
{
    if (m_floating.isShown()) {
        const QRect before = m_floating.geometry();
        m_floating.commitOnPress(m_pages.currentPageImage());
        floatingPictureMoved(before);
    }
    Canvas onPage = canvas();
    m_strokeInProgress = true;
    m_tools.tool(m_toolMode).press(m_stroke, onPage, point);
}

void BoardModel::move(QPoint point)
{
    Canvas onPage = canvas();
    point.setY(std::max(point.y(), onPage.firstRow));
    m_stroke.box.grow(point);
    const ToolMove moved = m_tools.tool(m_toolMode).move(m_stroke, onPage, point);
    if (moved.inked)
        m_pages.current().state = PageState::WrittenOn;
    if (moved.readout)
        setReadout(*moved.readout);
}

void BoardModel::release(QPoint point)
{
    m_strokeInProgress = false;
    Canvas onPage = canvas();
    const bool cuts = m_toolMode == ToolMode::RangeSelection && !m_placement.isPending();
    // A pending placement takes the place of the cut: its rubber band goes rather than stay in the
    // page.
    if (m_toolMode == ToolMode::RangeSelection && !cuts)
        onPage.restore(m_stroke.box.grownBy(BoardToolSet::rubberBandMargin));
    m_tools.tool(m_toolMode).release(m_stroke, onPage, point);
    if (m_floating.isShown())
        m_floating.stampFramed(m_pages.currentPageImage());
    if (m_toolMode == ToolMode::AreaErase)
        emit toolCursorChanged(BoardToolSet::cursorFile(m_toolMode));
    if (cuts) {
        m_selectionEnd = point;
        m_floating.cut(m_stroke.pressPoint, point, m_stroke.box, onPage);
        floatingPictureMoved(QRect());
    }
    // The release places what the palette chose.
    if (const auto placed = m_placement.take(m_stroke.pressPoint))
        placePicture(placed->picture, placed->topLeft, true);
}

void BoardModel::pressOnPicture(QPoint pointInPicture)
{
    m_floating.grab(pointInPicture);
    // The press point follows every press, this one in the picture's pixels; clearing compares it
    // with the end of the selection to tell whether a selection was just cut.
    m_stroke.pressPoint = pointInPicture;
}

void BoardModel::dragPicture(QPoint pointInPicture)
{
    const QRect before = m_floating.geometry();
    m_floating.dragTo(pointInPicture);
    floatingPictureMoved(before);
}

void BoardModel::chooseTool(ToolMode mode)
{
    putDownFloatingPicture();
    if (mode == ToolMode::RangeSelection)
        m_floating.chooseRangeSelection();
    m_toolMode = mode;
    m_stroke.strokeWidth = m_pen.width();
    m_stroke.pen =
        BoardToolSet::penFor(mode, m_pen.width(), m_pen.colour(), m_screen.backgroundColour());
    if (mode == ToolMode::Pen || mode == ToolMode::Eraser)
        setReadout({});
    emit toolChanged();
    emit toolCursorChanged(BoardToolSet::cursorFile(mode));
}

void BoardModel::changeStrokeWidth(int step)
{
    if (m_pen.changeWidth(step))
        setStrokeWidth(m_pen.width());
}

void BoardModel::chooseStrokeColour()
{
    // The eraser keeps painting the background.
    if (m_pen.chooseColour(m_prompter))
        setStrokeColour(m_pen.colour());
}

void BoardModel::chooseBackgroundColour()
{
    const auto chosen = m_backgroundChoice.choose(m_prompter, m_backgroundSwatch);
    if (chosen) {
        // Try the colour on the window beside the probe pixel: the same colour on both and on the
        // swatch means the page already has it.
        m_screen.setPixel(ProbePixel::trial(m_screenSize), *chosen);
        const bool unchanged =
            m_screen.pixel(ProbePixel::trial(m_screenSize)) == m_screen.backgroundColour() &&
            *chosen == m_backgroundSwatch;
        if (!unchanged) {
            if (m_pages.current().state == PageState::WrittenOn) {
                if (!m_prompter.askYesNo(QStringLiteral("提示信息"),
                                         QStringLiteral("是否清除本页内容？"))) {
                    setBackgroundSwatch(*chosen);
                    return;
                }
                m_pages.current().state = PageState::Cleared;
            }
            const QRect before = m_floating.geometry();
            m_floating.drop();
            floatingPictureMoved(before);
            setBackgroundSwatch(*chosen);
            if (m_toolMode == ToolMode::Eraser)
                m_stroke.pen.colour = *chosen;
            m_pages.currentPageImage().fill(*chosen);
            setTextPanelColour(TextPanelColour::forBackground(ColourRef::fromColor(*chosen)));
        }
    }
    repaintFromPage();
}

void BoardModel::undo()
{
    setReadout({});
    const QRect before = m_floating.geometry();
    m_floating.drop();
    canvas().undo(m_stroke.box.grownBy(undoMargin));
    floatingPictureMoved(before);
}

void BoardModel::clearPage()
{
    setReadout({});
    QImage& page = m_pages.currentPageImage();
    if (m_floating.isShown() && m_stroke.pressPoint.x() < m_selectionEnd.x()) {
        // A selection was just cut: only its area is cleared.
        const QRect before = m_floating.geometry();
        m_floating.wipe(page, m_backgroundSwatch);
        m_selectionEnd.setX(m_stroke.pressPoint.x());
        floatingPictureMoved(before);
        return;
    }
    if (m_pages.underlayActive()) {
        m_screen.drawImage(QPoint(0, 0), m_pages.underlayImage());
        RasterCopy::copy(m_pages.underlayImage(), m_pages.underlayImage().rect(), page, {0, 0});
        return;
    }
    page.fill(m_backgroundSwatch);
    m_pages.current().state = PageState::Cleared;
    repaintFromPage();
}

void BoardModel::zoom(bool enlarge)
{
    const QRect before = m_floating.geometry();
    const bool zoomed = enlarge
                            ? m_floating.zoomIn(m_screenSize, m_programDirectory, m_pen.colour())
                            : m_floating.zoomOut(m_screenSize, m_programDirectory, m_pen.colour());
    if (zoomed)
        floatingPictureMoved(before);
}

void BoardModel::placePicture(const QImage& picture, QPoint topLeft, bool exact,
                              int continuationPage)
{
    const QRect before = m_floating.geometry();
    m_floating.place(picture, topLeft, exact);
    if (continuationPage < 1 || continuationPage > PageStore::maxPages)
        continuationPage = 0;
    m_floating.setTag(continuationPage);
    // The page the picture goes on to counts as written on. While it does not exist yet, the page
    // carrying the picture counts as written on, so that turning right adds it.
    if (continuationPage > 0 && continuationPage <= m_pages.pageCount())
        m_pages.page(continuationPage).state = PageState::WrittenOn;
    else if (continuationPage > 0)
        m_pages.current().state = PageState::WrittenOn;
    floatingPictureMoved(before);
}

void BoardModel::savePanelState()
{
    m_contentPanel.savePanelState();
}

void BoardModel::setTextPanelColour(quint32 colour)
{
    m_contentPanel.setTextColour(colour);
}

void BoardModel::startTurn()
{
    m_pages.setUnderlayActive(false);
    setReadout({});
    putDownFloatingPicture();
}

void BoardModel::leaveCurrentPage()
{
    // The undo snapshot still holds the page left; undo on the new page touches only a corner.
    m_stroke.box = {10, 10, -10, -10};
    m_contentPanel.leavePage();
}

void BoardModel::arriveOnPage()
{
    repaintFromPage();
    if (m_toolMode == ToolMode::Eraser)
        m_stroke.pen.colour = m_pages.backgroundOf(m_pages.currentPage());
    emit pageChanged();
}

void BoardModel::colourTextPanelForPage()
{
    setTextPanelColour(TextPanelColour::afterPageTurn(
        ColourRef::fromColor(m_backgroundSwatch),
        ColourRef::fromColor(m_pages.backgroundOf(m_pages.currentPage()))));
}

void BoardModel::turnRight()
{
    startTurn();
    // A new page follows only a page written on; page 99 is the last.
    const int current = m_pages.currentPage();
    if (current != PageStore::maxPages &&
        (m_pages.current().state == PageState::WrittenOn || current < m_pages.pageCount())) {
        leaveCurrentPage();
        if (current < m_pages.pageCount()) {
            m_pages.setCurrentPage(current + 1);
            m_contentPanel.restore(m_pages.currentPage());
        } else {
            m_pages.addPage(m_backgroundSwatch);
            m_contentPanel.hideForNewPage();
        }
        arriveOnPage();
    }
    colourTextPanelForPage();
    // A picture taller than the screen goes on with its lower part at the top of this page.
    if (m_floating.tag() == m_pages.currentPage()) {
        const QRect before = m_floating.geometry();
        m_floating.continueAtTop(90 - m_screenSize.height());
        m_floating.setTag(0);
        // A page added by this turn carries the picture's lower part.
        m_pages.current().state = PageState::WrittenOn;
        floatingPictureMoved(before);
    }
}

void BoardModel::turnLeft()
{
    startTurn();
    if (m_pages.currentPage() != 1) {
        leaveCurrentPage();
        m_pages.setCurrentPage(m_pages.currentPage() - 1);
        m_contentPanel.restore(m_pages.currentPage());
        arriveOnPage();
    }
    colourTextPanelForPage();
}

LessonPage BoardModel::lessonPage(int n) const
{
    const Page& page = m_pages.page(n);
    return {m_pages.pageImage(n), page.contentKind, page.panelBounds,
            m_pages.pageText(n).value_or(QByteArray())};
}

LessonPage BoardModel::showSavedPage(int n)
{
    if (m_transferPage == 0)
        m_transferShown = CompactPage(); // the window shows the board as it was until now
    m_transferPage = n;
    m_screen.paintInPlace(
        [&](QImage& pixels) { return m_pages.drawPage(n, pixels, m_transferShown); });
    emit lessonPageShown();
    const Page& page = m_pages.page(n);
    LessonPage saved{QImage(), page.contentKind, page.panelBounds,
                     m_pages.pageText(n).value_or(QByteArray())};
    saved.png = m_pages.pagePng(n);
    if (saved.png.isNull())
        saved.picture = m_pages.pageImage(n);
    return saved;
}

void BoardModel::finishSaving()
{
    m_transferPage = 0;
    m_transferShown = CompactPage();
    repaintFromPage();
    emit pageChanged();
}

void BoardModel::openLesson(int count, const std::function<LessonPage(int n)>& pageAt)
{
    startTurn();
    leaveCurrentPage();
    const QRect screenRect(QPoint(0, 0), m_screenSize);
    m_transferShown = CompactPage(); // the window shows the board as it was until now
    const int textRefused = m_pages.replacePages(count, [&](int n) {
        // The pending page load: the picture goes onto the window over what it showed, and the
        // page is what the window then shows.
        LessonPage page = pageAt(n);
        if (!page.compactPicture.isNull()) {
            // A whole-screen opaque picture covers the window: decoded straight onto it, where it
            // differs from the page before when that one was too.
            m_screen.paintInPlace([&](QImage& pixels) {
                return page.compactPicture.decodeChangesInto(pixels, m_transferShown);
            });
            m_transferPage = n;
            emit lessonPageShown();
            return page;
        }
        m_transferShown = CompactPage();
        if (page.picture.isNull()) {
            m_screen.fill(screenRect, m_backgroundSwatch);
        } else if (page.picture.hasAlphaChannel()) {
            // A picture with transparency is drawn over the window, not copied onto it.
            QImage over = m_screen.image().copy(page.picture.rect().intersected(screenRect));
            QPainter(&over).drawImage(0, 0, page.picture);
            m_screen.drawImage(QPoint(0, 0), over);
        } else {
            m_screen.drawImage(QPoint(0, 0), page.picture);
        }
        page.picture = m_screen.image();
        m_transferPage = n;
        emit lessonPageShown();
        return page;
    });
    m_transferPage = 0;
    m_transferShown = CompactPage();
    arriveOnPage();
    colourTextPanelForPage();
    m_contentPanel.restoreOpenedPage(m_pages.currentPage(), textRefused);
}

void BoardModel::restoreBoard(const KeptBoard& board)
{
    startTurn();
    leaveCurrentPage();
    m_pages.restorePages(board);
    arriveOnPage();
    colourTextPanelForPage();
    m_contentPanel.restore(m_pages.currentPage());
}

void BoardModel::goToPage(int n)
{
    startTurn();
    leaveCurrentPage();
    m_pages.setCurrentPage(n);
    m_contentPanel.restore(m_pages.currentPage());
    arriveOnPage();
    setTextPanelColour(TextPanelColour::afterPagePick(
        ColourRef::fromColor(m_pages.backgroundOf(m_pages.currentPage()))));
}

void BoardModel::openThumbnails(const std::function<QImage()>& panelPixels)
{
    m_contentPanel.stampForThumbnails(panelPixels);
}
