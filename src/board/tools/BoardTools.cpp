#include "board/tools/BoardTools.h"

#include "board/pixels/ProbePixel.h"
#include "board/pixels/RasterCopy.h"

namespace {

// What a release copies from the window around the stroke box.
constexpr int commitMarginPixels = 10;
// What a rubber band wipes around the stroke box before it is drawn again.
constexpr int restoreMarginPixels = 5;

bool drawsInk(ToolMode mode)
{
    return mode == ToolMode::Pen || mode == ToolMode::Line || mode == ToolMode::Rectangle ||
           mode == ToolMode::Ellipse;
}

} // namespace

BoardTools::BoardTools(PageStore& pages, ScreenImage& surface) : m_pages(pages), m_surface(surface)
{
}

QString BoardTools::cursorFile(ToolMode mode)
{
    switch (mode) {
    case ToolMode::Pen:
        return QStringLiteral("Text_Hnd.cut");
    case ToolMode::Line:
        return QStringLiteral("Sonic cross2.cut");
    case ToolMode::Rectangle:
        return QStringLiteral("Sonic cross3.cut");
    case ToolMode::Ellipse:
        return QStringLiteral("prcs_mox1.cut");
    case ToolMode::Eraser:
        return QStringLiteral("Altr_Fsh.cut");
    case ToolMode::RangeSelection:
    case ToolMode::AreaErase:
        return QStringLiteral("prcs_mox2.cut");
    }
    return {};
}

void BoardTools::chooseTool(ToolMode mode, int strokeWidth, const QColor& strokeColour)
{
    m_toolMode = mode;
    switch (mode) {
    case ToolMode::Eraser:
        m_pen = {m_surface.backgroundColour(), eraserPenWidth(strokeWidth), false};
        break;
    case ToolMode::RangeSelection:
    case ToolMode::AreaErase:
        m_pen = {strokeColour, 1, true};
        break;
    default:
        m_pen = {strokeColour, strokeWidth, false};
        break;
    }
}

QString BoardTools::measurement(QPoint pressPoint, QPoint point)
{
    // Integer division truncates toward zero, then tenths in their shortest decimal form.
    const double across = ((point.x() - pressPoint.x()) / 2) / 10.0;
    const double down = ((point.y() - pressPoint.y()) / 2) / 10.0;
    return QString::number(across) + QStringLiteral("，") + QString::number(down);
}

void BoardTools::press(QPoint point)
{
    if (m_toolMode == ToolMode::RangeSelection)
        m_pen = {m_pen.colour, 1, true};
    m_penPosition = point;
    m_pressPoint = point;
    m_strokeBox = StrokeBox::at(point);
}

void BoardTools::restoreAroundStroke()
{
    const QRect area = m_strokeBox.grownBy(restoreMarginPixels);
    m_surface.copyFrom(m_pages.currentPageImage(), area);
}

std::optional<QString> BoardTools::move(QPoint point, int strokeWidth)
{
    // Nothing is drawn under the top strip.
    point.setY(std::max(point.y(), ProbePixel::stripHeight));
    m_strokeBox.grow(point);

    if (drawsInk(m_toolMode) && m_pages.current().state != PageState::WrittenOn)
        m_pages.current().state = PageState::WrittenOn;

    std::optional<QString> readout;
    switch (m_toolMode) {
    case ToolMode::Pen:
        m_surface.drawLine(m_pen, m_penPosition, point);
        m_penPosition = point;
        break;
    case ToolMode::Line:
        readout = measurement(m_pressPoint, point);
        restoreAroundStroke();
        m_surface.drawLine(m_pen, m_pressPoint, point);
        m_penPosition = point;
        break;
    case ToolMode::Rectangle:
        readout = measurement(m_pressPoint, point);
        restoreAroundStroke();
        m_surface.drawRectangle(m_pen, m_pressPoint, point);
        break;
    case ToolMode::Ellipse:
        readout = measurement(m_pressPoint, point);
        restoreAroundStroke();
        m_surface.drawEllipse(m_pen, m_pressPoint, point);
        break;
    case ToolMode::Eraser:
        if (m_pages.underlayActive()) {
            const int side = 10 * strokeWidth;
            m_surface.copyFrom(m_pages.underlayImage(), QRect(point, QSize(side, side)));
        } else {
            m_surface.drawLine(m_pen, m_penPosition, point);
        }
        m_penPosition = point;
        break;
    case ToolMode::RangeSelection:
    case ToolMode::AreaErase:
        // The rubber band only follows a drag to the right and down.
        if (point.x() > m_pressPoint.x() && point.y() > m_pressPoint.y()) {
            restoreAroundStroke();
            m_surface.drawRectangle(m_pen, m_pressPoint, point);
        }
        break;
    }
    return readout;
}

void BoardTools::keepClearOfPanels(const OpenPanels& panels)
{
    if (panels.thumbnailStrip) {
        const QRect strip = *panels.thumbnailStrip;
        const int stripBottom = strip.top() + strip.height();
        if (strip.top() == 41) {
            if (m_strokeBox.minY - 10 < stripBottom)
                m_strokeBox.minY = stripBottom + 10;
        } else if (strip.top() < m_strokeBox.maxY + 10) {
            m_strokeBox.maxY = strip.top() - 10;
        }
    }
    if (panels.contentPanel) {
        const int panelRight = panels.contentPanel->left() + panels.contentPanel->width();
        if (m_strokeBox.minX - 10 < panelRight)
            m_strokeBox.minX = panelRight + 10;
    }
}

int BoardTools::commitMargin(int strokeWidth) const
{
    // The eraser's ink reaches half its width beside the path and its underlay squares reach ten
    // stroke widths right of and below the pointer; the commit covers all of it, so nothing the
    // eraser wiped comes back when the page is drawn again.
    if (m_toolMode == ToolMode::Eraser)
        return std::max(commitMarginPixels, 10 * strokeWidth);
    return commitMarginPixels;
}

void BoardTools::release(QPoint point, int strokeWidth, const QColor& strokeColour,
                         const OpenPanels& panels)
{
    keepClearOfPanels(panels);

    m_pages.takeUndoSnapshot();
    m_surface.copyTo(m_pages.currentPageImage(), m_strokeBox.grownBy(commitMargin(strokeWidth)));

    if (m_toolMode == ToolMode::AreaErase) {
        eraseArea(point);
        m_pen = {strokeColour, 1, true};
    }
}

void BoardTools::undo()
{
    const QRect area = m_strokeBox.grownBy(100);
    m_surface.copyFrom(m_pages.scratchImage(), area);
    m_surface.copyTo(m_pages.currentPageImage(), area);
}

void BoardTools::eraseArea(QPoint releasePoint)
{
    RasterCopy::copy(m_surface.image(), m_strokeBox.grownBy(-restoreMarginPixels),
                     m_pages.scratchImage(), QPoint(m_strokeBox.minX + 5, m_strokeBox.minY + 5));
    // Only a drag to the right and down showed a rubber band; only then is there an area to erase.
    if (releasePoint.x() <= m_pressPoint.x() || releasePoint.y() <= m_pressPoint.y())
        return;
    const QRect area = m_strokeBox.grownBy(0);
    QImage& page = m_pages.currentPageImage();
    if (m_pages.underlayActive()) {
        m_surface.copyFrom(m_pages.underlayImage(), area);
        RasterCopy::copy(m_pages.underlayImage(), area, page, area.topLeft());
    } else {
        const QColor background = m_surface.backgroundColour();
        m_surface.fill(area, background);
        RasterCopy::fill(page, area, background);
    }
}
