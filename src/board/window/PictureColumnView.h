#pragma once

#include <QWidget>

class PictureColumn;

// The palette's picture column (Image26): the column's thumbnails one under the other, a row of
// 105 pixels each, on the window colour where no thumbnail was written. It is as high as the
// column says. A release reports where, in the column's pixels; its presses are its own.
class PictureColumnView : public QWidget {
    Q_OBJECT
public:
    static constexpr int columnWidth = 100;

    PictureColumnView(PictureColumn& column, QWidget* parent);

signals:
    void released(QPoint point);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void repaintRows(int firstRow, int lastRow);

    PictureColumn& m_column;
};
