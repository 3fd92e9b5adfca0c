#include "board/window/PictureColumnView.h"

#include "board/content/PictureColumn.h"
#include "ui/PointerInput.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

PictureColumnView::PictureColumnView(PictureColumn& column, QWidget* parent)
    : QWidget(parent), m_column(column)
{
    setObjectName(QStringLiteral("Image26"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    keepPointerInput(this);
    resize(columnWidth, m_column.height());
    connect(&m_column, &PictureColumn::rowsChanged, this, &PictureColumnView::repaintRows);
    connect(&m_column, &PictureColumn::heightChanged, this,
            [this](int height) { resize(columnWidth, height); });
}

void PictureColumnView::repaintRows(int firstRow, int lastRow)
{
    update(0, firstRow * PictureColumn::rowHeight, columnWidth,
           (lastRow - firstRow + 1) * PictureColumn::rowHeight);
}

void PictureColumnView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect exposed = event->rect();
    painter.fillRect(exposed, palette().color(QPalette::Base));
    // Only the rows the exposed area reaches are drawn: the column may hold hundreds.
    const int first = std::max(exposed.top() / PictureColumn::rowHeight, 0);
    const int last = std::min(exposed.bottom() / PictureColumn::rowHeight, m_column.rowCount() - 1);
    for (int k = first; k <= last; ++k) {
        const QImage thumbnail = m_column.thumbnail(k);
        if (!thumbnail.isNull())
            painter.drawImage(0, k * PictureColumn::rowHeight, thumbnail);
    }
}

void PictureColumnView::mousePressEvent(QMouseEvent* event)
{
    // The release that follows is this column's.
    event->accept();
}

void PictureColumnView::mouseReleaseEvent(QMouseEvent* event)
{
    emit released(event->position().toPoint());
}
