// The board window: pointer events on the board and on the floating picture.

#include "board/window/BoardWindow.h"

#include <QLabel>
#include <QMouseEvent>

bool BoardWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != Image2)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const QPoint inPicture = static_cast<QMouseEvent*>(event)->position().toPoint();
        m_floating.grab(inPicture);
        m_tools.setPressPoint(inPicture);
        return true;
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->buttons() & Qt::LeftButton) {
            const QRect before = m_floating.geometry();
            m_floating.dragTo(mouse->position().toPoint());
            showFloatingPicture(before);
        }
        return true;
    }
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        // A release on the picture ends its drag and is not the board's release.
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void BoardWindow::mousePressEvent(QMouseEvent* event)
{
    if (m_floating.isShown()) {
        const QRect before = m_floating.geometry();
        m_floating.commitOnPress(m_pages.currentPageImage());
        showFloatingPicture(before);
    }
    m_tools.press(event->position().toPoint());
}

void BoardWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    if (const auto readout = m_tools.move(event->position().toPoint(), strokeWidth()))
        Panel3->setText(*readout);
}

void BoardWindow::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    m_tools.release(point, strokeWidth(), strokeColour(), openPanels());
    if (m_floating.isShown())
        m_floating.stampFramed(m_pages.currentPageImage());
    if (m_tools.toolMode() == ToolMode::AreaErase)
        useToolCursor(ToolMode::AreaErase);
    if (m_tools.toolMode() == ToolMode::RangeSelection) {
        m_tools.setSelectionEnd(point);
        m_floating.cut(m_tools.pressPoint(), point, m_tools.strokeBox(), m_surface, m_pages);
        showFloatingPicture(QRect());
    }
}
