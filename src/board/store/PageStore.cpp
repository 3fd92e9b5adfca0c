#include "board/store/PageStore.h"

#include "board/pixels/ProbePixel.h"
#include "board/pixels/RasterCopy.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>

PageStore::PageStore(QSize screenSize, const QString& programDirectory, QSize panelSize)
    : m_screenSize(screenSize), m_programDirectory(programDirectory)
{
    Page first;
    first.image = newPageImage(Qt::black);
    first.panelBounds = QRect(0, 41, panelSize.width(), panelSize.height());
    m_pages.append(first);
    m_scratch = newPageImage(Qt::black);
}

QImage PageStore::newPageImage(const QColor& colour) const
{
    QImage image(m_screenSize, pageFormat);
    image.fill(colour);
    return image;
}

void PageStore::setCurrentPage(int n)
{
    m_currentPage = std::clamp(n, 1, pageCount());
}

Page& PageStore::page(int n)
{
    Q_ASSERT(n >= 1 && n <= pageCount());
    return m_pages[n - 1];
}

const Page& PageStore::page(int n) const
{
    Q_ASSERT(n >= 1 && n <= pageCount());
    return m_pages[n - 1];
}

void PageStore::takeUndoSnapshot()
{
    const QImage& page = currentPageImage();
    if (m_scratch.size() == page.size() && m_scratch.format() == page.format())
        RasterCopy::copy(page, page.rect(), m_scratch, QPoint(0, 0));
    else
        m_scratch = page.copy();
}

QColor PageStore::backgroundOf(int n) const
{
    return page(n).image.pixelColor(ProbePixel::background(m_screenSize));
}

void PageStore::makeCurrentPageReady(const QColor& swatch)
{
    if (current().state == PageState::NeverFilled)
        current().image.fill(swatch);
}

int PageStore::addPage(const QColor& swatch)
{
    Q_ASSERT(pageCount() < maxPages);
    Page added;
    added.image = newPageImage(swatch);
    added.panelBounds = m_pages.last().panelBounds;
    m_pages.append(added);
    m_currentPage = pageCount();
    return m_currentPage;
}

QString PageStore::pageTextPath(int n) const
{
    return m_programDirectory + QString::number(n);
}

void PageStore::writePageText(int n, const QByteArray& richText) const
{
    QSaveFile file(pageTextPath(n));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(richText);
        file.commit();
    }
}

void PageStore::savePanelState(const QByteArray& richText, const QRect& panelBounds)
{
    writePageText(m_currentPage, richText);
    current().panelBounds = panelBounds;
}

std::optional<QByteArray> PageStore::pageText(int n) const
{
    QFile file(pageTextPath(n));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

void PageStore::deletePageTextFiles() const
{
    for (int n = 1; n <= pageCount(); ++n)
        QFile::remove(pageTextPath(n));
}

void PageStore::replacePages(int count, const std::function<LessonPage(int n)>& pageAt)
{
    Q_ASSERT(count >= 1 && count <= maxPages);
    QList<Page> pages;
    for (int n = 1; n <= count; ++n) {
        const LessonPage source = pageAt(n);
        Q_ASSERT(source.picture.size() == m_screenSize);
        Page page;
        page.image = source.picture.convertToFormat(pageFormat);
        page.state = PageState::WrittenOn;
        page.contentKind = source.contentKind;
        page.panelBounds = source.panelBounds;
        pages.append(page);
        if (source.text.isEmpty())
            QFile::remove(pageTextPath(n));
        else
            writePageText(n, source.text);
    }
    m_pages = pages;
    setCurrentPage(m_currentPage);
}
