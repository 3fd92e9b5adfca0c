#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The picture column of the board's palette ("其它") together with its picture list: thumbnail k
// shows the picture whose full path is entry k of the list. The column is 100 pixels wide;
// thumbnail k occupies rows k * 105 to k * 105 + 99, with a 5-pixel gap below it. Only the rows
// that were written are kept, one 100 x 100 picture each; what is not written shows the window
// colour. A refill overwrites rows from the top and leaves later ones, which the column's height
// then hides.
// Coordinates: y is a pixel row of the column, 0 at its top.
class PictureColumn : public QObject {
    Q_OBJECT
public:
    static constexpr int rowHeight = 105;
    static constexpr int thumbnailSize = 100;
    // A folder import shows at most this many pictures.
    static constexpr int folderLimit = 999;

    explicit PictureColumn(QObject* parent = nullptr);

    // The column's height in pixels as shown.
    int height() const { return m_height; }
    void setHeight(int pixels);

    // Rows written so far, shown or hidden by the height.
    int rowCount() const { return int(m_rows.size()); }
    // 100 x 100 ARGB32, transparent where the picture does not cover it; null where row k holds
    // no thumbnail (never written, or its file could not be read).
    QImage thumbnail(int k) const;

    QStringList pictureList() const { return m_pictureList; }
    // The entry of the row under y, including the gap below its thumbnail; nothing above the
    // column or below the last entry.
    std::optional<QString> entryAt(int y) const;

    // 0 never filled, 1 filled, -1 to be filled again.
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    // Thumbnails the last import put into the column.
    int pictureCount() const { return m_pictureCount; }
    void resetPictureCount() { m_pictureCount = 0; }

    // The start of a folder import: the list is emptied, the rows stay until overwritten.
    void clearPictureList();
    // Puts the picture at path into the row after the last list entry, so row k and entry k
    // always name the same picture; a null thumbnail leaves that row empty. The picture count
    // becomes the row's number + 1. Returns the row.
    int appendPicture(const QString& path, const QImage& thumbnail);

signals:
    // Thumbnails of these rows changed: repaint them.
    void rowsChanged(int firstRow, int lastRow);
    void heightChanged(int height);
    void pictureListChanged();

private:
    std::vector<QImage> m_rows;
    QStringList m_pictureList;
    int m_height = 0;
    int m_tag = 0;
    int m_pictureCount = 0;
};
