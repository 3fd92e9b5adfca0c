// The board window: the text panel with its page, undo, turning pages and clearing.

#include "board/window/BoardWindow.h"
#include "board/pixels/ColourRef.h"
#include "board/pixels/RasterCopy.h"
#include "board/model/TextPanelColour.h"

#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>

void BoardWindow::savePanelState()
{
    m_pages.savePanelState(RichEdit1->toHtml().toUtf8(), Panel4->geometry());
}

void BoardWindow::restorePanelState(int page)
{
    const Page& record = m_pages.page(page);
    if (record.contentKind == ContentKind::None) {
        Panel4->hide();
        return;
    }
    if (record.contentKind == ContentKind::WebDocument) {
        RichEdit1->hide();
    } else {
        RichEdit1->show();
        if (const auto text = m_pages.pageText(page))
            RichEdit1->setHtml(QString::fromUtf8(*text));
    }
    Panel4->setGeometry(record.panelBounds);
    Panel4->show();
}

void BoardWindow::setTextPanelColour(quint32 colour)
{
    QPalette palette = RichEdit1->palette();
    palette.setColor(QPalette::Base, ColourRef::toColor(colour));
    RichEdit1->setPalette(palette);
}

void BoardWindow::undo()
{
    Panel3->clear();
    const QRect before = m_floating.geometry();
    m_floating.drop();
    m_tools.undo();
    showFloatingPicture(before);
}

void BoardWindow::startTurn()
{
    m_pages.setUnderlayActive(false);
    Panel3->clear();
    stampFloatingPicture();
}

void BoardWindow::leaveCurrentPage()
{
    // The undo snapshot still holds the page left; undo on the new page touches only a corner.
    m_tools.setStrokeBox({10, 10, -10, -10});
    if (Panel4->isVisible())
        savePanelState();
}

void BoardWindow::arriveOnPage()
{
    repaintFromPage();
    Edit2->setText(QString::number(m_pages.currentPage()));
    if (m_tools.toolMode() == ToolMode::Eraser)
        m_tools.pen().colour = m_pages.backgroundOf(m_pages.currentPage());
}

void BoardWindow::colourTextPanelForPage()
{
    setTextPanelColour(TextPanelColour::afterPageTurn(
        ColourRef::fromColor(backgroundSwatch()),
        ColourRef::fromColor(m_pages.backgroundOf(m_pages.currentPage()))));
}

void BoardWindow::turnRight()
{
    startTurn();
    // A new page follows only a page written on; page 99 is the last.
    if (Edit2->text() != QLatin1String("99") && (m_pages.current().state == PageState::WrittenOn ||
                                                 m_pages.currentPage() < m_pages.pageCount())) {
        leaveCurrentPage();
        if (m_pages.currentPage() < m_pages.pageCount()) {
            m_pages.setCurrentPage(m_pages.currentPage() + 1);
            restorePanelState(m_pages.currentPage());
        } else {
            Panel4->hide();
            m_pages.addPage(backgroundSwatch());
            RichEdit1->clear();
        }
        arriveOnPage();
    }
    colourTextPanelForPage();
    // A picture taller than the screen goes on with its lower part at the top of this page.
    if (m_floating.tag() == m_pages.currentPage()) {
        const QRect before = m_floating.geometry();
        m_floating.continueAtTop(90 - m_screenSize.height());
        m_floating.setTag(0);
        showFloatingPicture(before);
    }
}

void BoardWindow::turnLeft()
{
    startTurn();
    if (Edit2->text() != QLatin1String("1")) {
        leaveCurrentPage();
        m_pages.setCurrentPage(m_pages.currentPage() - 1);
        restorePanelState(m_pages.currentPage());
        arriveOnPage();
    }
    colourTextPanelForPage();
}

void BoardWindow::clearPage()
{
    Panel3->clear();
    QImage& page = m_pages.currentPageImage();
    if (m_floating.isShown() && m_tools.pressPoint().x() < m_tools.selectionEnd().x()) {
        // A selection was just cut: only its area is cleared.
        const QRect before = m_floating.geometry();
        m_floating.wipe(page, backgroundSwatch());
        m_tools.setSelectionEnd(QPoint(m_tools.pressPoint().x(), m_tools.selectionEnd().y()));
        showFloatingPicture(before);
        return;
    }
    if (m_pages.underlayActive()) {
        m_surface.drawImage(QPoint(0, 0), m_pages.underlayImage());
        RasterCopy::copy(m_pages.underlayImage(), m_pages.underlayImage().rect(), page, {0, 0});
        return;
    }
    page.fill(backgroundSwatch());
    m_pages.current().state = PageState::Cleared;
    repaintFromPage();
}
