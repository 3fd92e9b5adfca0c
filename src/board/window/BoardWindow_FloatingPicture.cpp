// The board window: showing, stamping and zooming the floating picture.

#include "board/window/BoardWindow.h"

#include <QLabel>

void BoardWindow::showFloatingPicture(const QRect& before)
{
    if (m_floating.isShown()) {
        Image2->setPixmap(QPixmap::fromImage(m_floating.picture()));
        Image2->setGeometry(m_floating.geometry());
        Image2->show();
    } else {
        Image2->hide();
    }
    // What the picture uncovered is drawn from the page, as a repaint of the window would.
    const QRegion uncovered =
        QRegion(before) - QRegion(m_floating.isShown() ? m_floating.geometry() : QRect());
    for (const QRect& rect : uncovered)
        m_surface.copyFrom(m_pages.currentPageImage(), rect);
}

void BoardWindow::stampFloatingPicture()
{
    if (!m_floating.isShown())
        return;
    const QRect before = m_floating.geometry();
    m_floating.framedCommit(m_pages.currentPageImage());
    showFloatingPicture(before);
}

void BoardWindow::chooseRangeSelection()
{
    stampFloatingPicture();
    m_floating.chooseRangeSelection();
    chooseTool(ToolMode::RangeSelection);
}

void BoardWindow::zoom(bool enlarge)
{
    const QRect before = m_floating.geometry();
    const QString directory = m_pages.programDirectory();
    const bool zoomed = enlarge ? m_floating.zoomIn(m_screenSize, directory, strokeColour())
                                : m_floating.zoomOut(m_screenSize, directory, strokeColour());
    if (zoomed)
        showFloatingPicture(before);
}
