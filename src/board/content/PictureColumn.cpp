#include "board/content/PictureColumn.h"

#include <algorithm>

PictureColumn::PictureColumn(QObject* parent) : QObject(parent) {}

void PictureColumn::setHeight(int pixels)
{
    pixels = std::max(pixels, 0);
    if (pixels == m_height)
        return;
    m_height = pixels;
    emit heightChanged(m_height);
}

QImage PictureColumn::thumbnail(int k) const
{
    if (k < 0 || k >= rowCount())
        return {};
    return m_rows[std::size_t(k)];
}

std::optional<QString> PictureColumn::entryAt(int y) const
{
    if (y < 0)
        return std::nullopt;
    const int k = y / rowHeight;
    if (k >= m_pictureList.size())
        return std::nullopt;
    return m_pictureList[k];
}

void PictureColumn::clearPictureList()
{
    if (m_pictureList.isEmpty())
        return;
    m_pictureList.clear();
    emit pictureListChanged();
}

int PictureColumn::appendPicture(const QString& path, const QImage& thumbnail)
{
    const int row = int(m_pictureList.size());
    if (row >= rowCount())
        m_rows.resize(std::size_t(row) + 1);
    QImage& stored = m_rows[std::size_t(row)];
    stored = thumbnail.isNull() ? QImage() : thumbnail.convertToFormat(QImage::Format_ARGB32);
    m_pictureList.append(path);
    m_pictureCount = row + 1;
    emit rowsChanged(row, row);
    emit pictureListChanged();
    return row;
}
