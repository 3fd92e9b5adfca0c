#pragma once

#include <QWidget>

class QLabel;
class ScreenImage;

// A full-screen window that shows a screen image and nothing else, as the board and the overlay
// are: its paint copies the dirty rectangles of the image. Pointer input on the window itself goes
// to pagePressed/Moved/Released, in screen pixels; a move or release belongs to the window only
// when the press was its own (a release that ends a dialog's click or a drag begun on a child is
// not). A floating picture label passes its presses and drags in its own pixels to
// picturePressed/Dragged and never to the page.
class ScreenImageWindow : public QWidget {
    Q_OBJECT
protected:
    explicit ScreenImageWindow(const ScreenImage& screen);

    // The floating picture's label, hidden, with the size-all cursor.
    QLabel* addFloatingLabel(const QString& objectName);
    // Shows the label with picture at geometry, or hides it; the picture is converted for the label
    // only when it changed, not on every move of a drag.
    void showFloatingLabel(QLabel* label, bool shown, const QImage& picture, const QRect& geometry);

    virtual void pagePressed(QPoint point) = 0;
    // Moves with the left button held.
    virtual void pageMoved(QPoint point) = 0;
    virtual void pageReleased(QPoint point) = 0;
    virtual void picturePressed(QPoint pointInPicture) = 0;
    // Moves with the left button held.
    virtual void pictureDragged(QPoint pointInPicture) = 0;

    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const ScreenImage& m_screen;
    QLabel* m_floatingLabel = nullptr;
    bool m_pressedOnPage = false;
    qint64 m_shownPictureKey = 0;
};
