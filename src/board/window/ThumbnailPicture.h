#pragma once

#include <QImage>
#include <QWidget>

// The strip's thumbnail area (Image3): shows the strip model's picture, which it does not own,
// at its top-left corner, and reports the release of any mouse button in its own pixels.
class ThumbnailPicture : public QWidget {
    Q_OBJECT
public:
    ThumbnailPicture(const QImage& picture, QWidget* parent);

signals:
    void released(QPoint point);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const QImage& m_picture;
};
