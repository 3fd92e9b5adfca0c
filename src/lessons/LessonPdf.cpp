#include "lessons/LessonPdf.h"

#include "board/content/ContentPanelModel.h"
#include "board/content/RichTextReader.h"
#include "board/pixels/ColourRef.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

LessonPdf::LessonPdf(QSize pageSize, quint32 textBoxColour)
    : m_pageSize(pageSize), m_textBoxColour(textBoxColour)
{
}

QByteArray LessonPdf::write(int pageCount, const std::function<LessonPage(int n)>& pageAt) const
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("zkalto"));
        writer.setResolution(dotsPerInch);
        // Exactly the page's size: a size near a paper size must not be taken for that paper.
        const QSizeF points = QSizeF(m_pageSize) * 72.0 / dotsPerInch;
        writer.setPageLayout(
            QPageLayout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch),
                        QPageLayout::Portrait, QMarginsF()));
        QPainter painter;
        if (!painter.begin(&writer))
            return {};
        // Without it the PDF engine may store a picture as JPEG, which blurs the strokes.
        painter.setRenderHint(QPainter::LosslessImageRendering);
        const QRect whole(QPoint(0, 0), m_pageSize);
        for (int n = 1; n <= pageCount; ++n) {
            if (n > 1)
                writer.newPage();
            const LessonPage page = pageAt(n);
            const QRect pictured = whole & page.picture.rect();
            if (pictured != whole)
                painter.fillRect(whole, Qt::white);
            if (!pictured.isEmpty())
                painter.drawImage(pictured.topLeft(), page.picture, pictured);
            paintPanel(painter, page);
        }
        if (!painter.end())
            return {};
    }
    return buffer.buffer();
}

void LessonPdf::paintPanel(QPainter& painter, const LessonPage& page) const
{
    if (page.contentKind != ContentKind::Text || page.panelBounds.isEmpty())
        return;
    const QRect bounds = page.panelBounds;
    painter.save();
    painter.setClipRect(bounds);
    painter.fillRect(bounds, ColourRef::toColor(m_textBoxColour));
    // The text box: its document in the brush script, wrapped at its width, shown from its top.
    QTextDocument text;
    text.setDefaultFont(ContentPanelModel::textBoxFont());
    QTextOption wrap = text.defaultTextOption();
    wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    text.setDefaultTextOption(wrap);
    RichTextReader::read(page.text, text);
    text.setTextWidth(bounds.width());
    painter.translate(bounds.topLeft());
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Qt::black);
    context.clip = QRectF(0, 0, bounds.width(), bounds.height());
    text.documentLayout()->draw(&painter, context);
    painter.restore();
}

QString LessonPdf::fileNameFor(const QString& chosen)
{
    return QFileInfo(chosen).suffix().isEmpty() ? chosen + QStringLiteral(".pdf") : chosen;
}
