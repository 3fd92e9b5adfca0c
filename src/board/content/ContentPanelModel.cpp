#include "board/content/ContentPanelModel.h"

#include "board/content/RichTextReader.h"
#include "board/content/RichTextWriter.h"
#include "board/pixels/BoardGeometry.h"
#include "board/pixels/RasterCopy.h"
#include "board/store/PageStore.h"
#include "board/tools/ScreenImage.h"
#include "platform/Prompter.h"

#include <QRegion>
#include <QTextCharFormat>
#include <QTextCursor>

namespace {

// The right edge of the panel and the bottom edge of its text box are where it is resized.
constexpr int rightEdge = 5;
constexpr int bottomEdge = 8;
constexpr int cornerEdge = 5;
// The smallest panel a drag leaves: its edges stay within reach.
constexpr int smallest = 20;

QTextCharFormat formatOf(const QFont& font)
{
    QTextCharFormat format;
    format.setFont(font);
    return format;
}

} // namespace

QFont ContentPanelModel::textBoxFont()
{
    QFont font(QStringLiteral("隶书"));
    font.setPixelSize(48);
    return font;
}

ContentPanelModel::ContentPanelModel(PageStore& pages, ScreenImage& screen, Prompter& prompter)
    : m_pages(pages), m_screen(screen), m_prompter(prompter)
{
    m_state.bounds = BoardGeometry::contentPanelBounds(screen.size());
    m_state.textColour = 0xFFFFFF;
    m_text.setDefaultFont(textBoxFont());
}

void ContentPanelModel::place(bool shown, const QRect& bounds)
{
    const QRegion before = m_state.shown ? QRegion(m_state.bounds) : QRegion();
    const QRegion after = shown ? QRegion(bounds) : QRegion();
    m_state.shown = shown;
    m_state.bounds = bounds;
    for (const QRect& rect : before - after)
        m_screen.copyFrom(m_pages.currentPageImage(), rect);
}

void ContentPanelModel::takeSavedPage()
{
    m_pages.savedPageImage() = m_pages.currentPageImage().copy();
    m_savedPage = m_pages.currentPage();
}

bool ContentPanelModel::savedPageIsCurrent() const
{
    // The saved page image is the board's one copy; it restores only the page it was taken of.
    return m_savedPage == m_pages.currentPage() &&
           m_pages.savedPageImage().size() == m_pages.screenSize();
}

void ContentPanelModel::wipeStamp()
{
    RasterCopy::fill(m_pages.currentPageImage(), m_state.bounds,
                     m_pages.backgroundOf(m_pages.currentPage()));
}

void ContentPanelModel::stampInto(QImage& image, const QImage& panelPicture) const
{
    RasterCopy::copy(panelPicture, panelPicture.rect(), image, m_state.bounds.topLeft());
}

void ContentPanelModel::loadText(int page)
{
    if (const auto text = m_pages.pageText(page))
        RichTextReader::read(*text, m_text);
    else
        m_text.clear();
}

void ContentPanelModel::open()
{
    // A panel already shown stays where the teacher put it.
    if (m_state.shown)
        m_pages.current().panelBounds = m_state.bounds;
    m_state.titleBarShown = !m_state.titleBarShown;
    place(true, m_pages.current().panelBounds);
    if (m_pages.current().state != PageState::WrittenOn)
        m_pages.current().state = PageState::WrittenOn;
    if (m_pages.current().contentKind == ContentKind::None) {
        if (!m_pages.underlayActive())
            takeSavedPage();
        loadText(m_pages.currentPage());
        m_pages.current().contentKind = ContentKind::Text;
        m_state.textShown = true;
    }
    emit changed();
}

void ContentPanelModel::showTitleBar()
{
    m_state.titleBarShown = true;
    emit changed();
}

void ContentPanelModel::hideTitleBar()
{
    m_state.titleBarShown = false;
    emit changed();
}

void ContentPanelModel::pressTitleBar(QPoint inPanel)
{
    m_pressPoint = inPanel;
    m_originSize = m_state.bounds.size();
    hoverTitleBar(inPanel);
    // The thumbnail strip's stamp of the panel leaves the page before the panel moves.
    if (m_pages.current().panelStamped)
        wipeStamp();
}

PanelGrip ContentPanelModel::hoverTitleBar(QPoint inPanel)
{
    m_grip =
        inPanel.x() > m_state.bounds.width() - rightEdge ? PanelGrip::ResizeWidth : PanelGrip::Move;
    return m_grip;
}

void ContentPanelModel::dragTitleBar(QPoint inPanel)
{
    QRect bounds = m_state.bounds;
    if (m_grip == PanelGrip::Move)
        bounds = BoardGeometry::panelKeptOnScreen(bounds.translated(inPanel - m_pressPoint),
                                                  m_screen.size());
    else
        bounds.setWidth(std::max(smallest, inPanel.x() + m_originSize.width() - m_pressPoint.x()));
    place(m_state.shown, bounds);
    emit changed();
}

bool ContentPanelModel::pressTextArea(QPoint inPanel)
{
    m_state.titleBarShown = true;
    m_pressPoint = inPanel;
    m_originSize = m_state.bounds.size();
    hoverTextArea(inPanel);
    const bool resizing = m_grip != PanelGrip::Text;
    if (resizing && m_pages.current().panelStamped)
        wipeStamp();
    emit changed();
    return resizing;
}

PanelGrip ContentPanelModel::hoverTextArea(QPoint inPanel)
{
    const int width = m_state.bounds.width();
    const int height = m_state.bounds.height();
    const bool atRight = inPanel.x() > width - rightEdge;
    if (!atRight)
        m_grip = inPanel.y() > height - bottomEdge ? PanelGrip::ResizeHeight : PanelGrip::Text;
    else if (inPanel.y() > height - cornerEdge)
        m_grip = PanelGrip::ResizeBoth;
    else if (inPanel.y() > height - bottomEdge)
        m_grip = PanelGrip::ResizeHeight;
    else
        m_grip = PanelGrip::ResizeWidth;
    return m_grip;
}

void ContentPanelModel::dragTextArea(QPoint inPanel)
{
    if (m_grip == PanelGrip::Text || m_grip == PanelGrip::Move)
        return;
    QRect bounds = m_state.bounds;
    if (m_grip != PanelGrip::ResizeHeight)
        bounds.setWidth(std::max(smallest, inPanel.x() + m_originSize.width() - m_pressPoint.x()));
    if (m_grip != PanelGrip::ResizeWidth)
        bounds.setHeight(
            std::max(smallest, inPanel.y() + m_originSize.height() - m_pressPoint.y()));
    place(m_state.shown, bounds);
    emit changed();
}

void ContentPanelModel::chooseFont(int selectionStart, int selectionEnd)
{
    QTextCursor selection(&m_text);
    selection.setPosition(selectionStart);
    selection.setPosition(selectionEnd, QTextCursor::KeepAnchor);
    // The dialog opens with the font of the selection's first character.
    QTextCursor first(&m_text);
    first.setPosition(selection.selectionStart());
    if (selection.hasSelection())
        first.movePosition(QTextCursor::NextCharacter);
    const QFont initial = RichTextWriter::effectiveFont(first.charFormat(), m_text.defaultFont());

    const auto chosen = m_prompter.chooseFont(initial, [this](const QFont& font) {
        QTextCursor all(&m_text);
        all.select(QTextCursor::Document);
        all.mergeCharFormat(formatOf(font));
        emit typingFontChosen(formatOf(font));
    });
    if (!chosen)
        return;
    if (selection.hasSelection())
        selection.mergeCharFormat(formatOf(*chosen));
    else
        emit typingFontChosen(formatOf(*chosen));
}

void ContentPanelModel::prepareForPaste()
{
    m_state.textShown = true;
    m_pages.current().contentKind = ContentKind::Text;
    m_state.document = QUrl();
    emit changed();
}

void ContentPanelModel::normalSize()
{
    const QRect covered = m_state.bounds;
    // What the panel covered comes back from the page as it was kept; the rest of the page keeps
    // what was written since.
    if (savedPageIsCurrent())
        RasterCopy::copy(m_pages.savedPageImage(), covered, m_pages.currentPageImage(),
                         covered.topLeft());
    place(m_state.shown, QRect(0, covered.top(), normalWidth,
                               m_pages.screenSize().height() - BoardGeometry::stripHeight));
    emit changed();
}

void ContentPanelModel::fullSize()
{
    takeSavedPage();
    const QSize screen = m_pages.screenSize();
    place(m_state.shown, QRect(0, m_state.bounds.top(), screen.width(), screen.height()));
    emit changed();
}

void ContentPanelModel::widen()
{
    place(m_state.shown, m_state.bounds.adjusted(0, 0, widerStep, 0));
    emit changed();
}

void ContentPanelModel::stampAsUnderlay(const QImage& panelPicture)
{
    m_state.titleBarShown = false;
    stampInto(m_pages.currentPageImage(), panelPicture);
    QImage& underlay = m_pages.underlayImage();
    underlay = QImage(m_pages.screenSize(), PageStore::pageFormat);
    underlay.fill(m_screen.backgroundColour());
    stampInto(underlay, panelPicture);
    m_pages.setUnderlayActive(true);
    place(false, m_state.bounds);
    m_screen.copyFrom(m_pages.currentPageImage(), QRect(QPoint(0, 0), m_pages.screenSize()));
    // The text is kept with the bounds: the panel comes back with it on this page.
    savePanelState();
    emit changed();
}

void ContentPanelModel::stampAndClose(const QImage& panelPicture)
{
    m_state.titleBarShown = false;
    Page& page = m_pages.current();
    if (page.panelStamped) {
        wipeStamp();
        page.panelStamped = false;
    }
    stampInto(m_pages.currentPageImage(), panelPicture);
    place(false, m_state.bounds);
    m_screen.copyFrom(m_pages.currentPageImage(), QRect(QPoint(0, 0), m_pages.screenSize()));
    m_state.document = QUrl();
    savePanelState();
    m_pages.current().contentKind = ContentKind::None;
    emit changed();
}

void ContentPanelModel::close()
{
    m_state.titleBarShown = false;
    if (m_pages.underlayActive()) {
        if (savedPageIsCurrent())
            RasterCopy::copy(m_pages.savedPageImage(), m_state.bounds, m_pages.currentPageImage(),
                             m_state.bounds.topLeft());
        m_pages.setUnderlayActive(false);
    }
    Page& page = m_pages.current();
    if (page.panelStamped) {
        wipeStamp();
        page.panelStamped = false;
    }
    place(false, m_state.bounds);
    m_state.document = QUrl();
    savePanelState();
    m_pages.current().contentKind = ContentKind::None;
    emit changed();
}

void ContentPanelModel::stampForThumbnails(const std::function<QImage()>& panelPixels)
{
    if (m_state.shown) {
        hideTitleBar();
        savePanelState();
        stampInto(m_pages.currentPageImage(), panelPixels());
        m_pages.current().panelStamped = true;
    } else if (m_pages.underlayActive()) {
        place(true, m_state.bounds);
        emit changed();
    }
}

void ContentPanelModel::showDocument(const QUrl& document)
{
    m_state.document = document;
    if (m_state.shown) {
        m_state.textShown = false;
        m_pages.current().contentKind = ContentKind::WebDocument;
    }
    emit changed();
}

void ContentPanelModel::setDocumentPending(bool pending)
{
    m_state.documentPending = pending;
    emit changed();
}

void ContentPanelModel::setTextColour(quint32 colour)
{
    m_state.textColour = colour;
    emit changed();
}

void ContentPanelModel::savePanelState()
{
    if (!m_pages.savePanelState(RichTextWriter::write(m_text), m_state.bounds))
        reportTextRefused(m_pages.currentPage());
}

void ContentPanelModel::reportTextRefused(int page)
{
    m_prompter.inform(
        QStringLiteral("提示信息"),
        QStringLiteral("本页的文字无法保存到文件 %1").arg(m_pages.pageTextPath(page)));
}

void ContentPanelModel::leavePage()
{
    if (!m_state.shown)
        return;
    m_state.titleBarShown = false;
    savePanelState();
}

void ContentPanelModel::restore(int page)
{
    const Page& record = m_pages.page(page);
    if (record.contentKind == ContentKind::None) {
        place(false, m_state.bounds);
    } else {
        m_state.textShown = record.contentKind != ContentKind::WebDocument;
        // A page of text without a kept text starts empty rather than with another page's.
        if (m_state.textShown)
            loadText(page);
        place(true, record.panelBounds);
    }
    emit changed();
}

void ContentPanelModel::hideForNewPage()
{
    place(false, m_state.bounds);
    m_text.clear();
    emit changed();
}

void ContentPanelModel::restoreOpenedPage(int page, int textRefused)
{
    const Page& record = m_pages.page(page);
    loadText(page);
    m_state.titleBarShown = false;
    m_state.textShown = true;
    place(record.contentKind == ContentKind::Text, record.panelBounds);
    emit changed();
    if (textRefused > 0)
        reportTextRefused(textRefused);
}
