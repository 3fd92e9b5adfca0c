#include "ui/ScreenImageWindow.h"

#include "board/tools/ScreenImage.h"
#include "ui/PointerInput.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

ScreenImageWindow::ScreenImageWindow(const ScreenImage& screen) : m_screen(screen)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

QLabel* ScreenImageWindow::addFloatingLabel(const QString& objectName)
{
    m_floatingLabel = new QLabel(this);
    m_floatingLabel->setObjectName(objectName);
    m_floatingLabel->setCursor(Qt::SizeAllCursor);
    m_floatingLabel->setGeometry(0, 0, 0, 0);
    m_floatingLabel->installEventFilter(this);
    keepPointerInput(m_floatingLabel);
    m_floatingLabel->hide();
    return m_floatingLabel;
}

void ScreenImageWindow::showFloatingLabel(QLabel* label, bool shown, const QImage& picture,
                                          const QRect& geometry)
{
    if (!shown || geometry.isEmpty()) {
        label->hide();
        return;
    }
    if (picture.cacheKey() != m_shownPictureKey || label->isHidden()) {
        label->setPixmap(QPixmap::fromImage(picture));
        m_shownPictureKey = picture.cacheKey();
    }
    label->setGeometry(geometry);
    label->show();
}

bool ScreenImageWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_floatingLabel)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        picturePressed(static_cast<QMouseEvent*>(event)->position().toPoint());
        return true;
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->buttons() & Qt::LeftButton)
            pictureDragged(mouse->position().toPoint());
        return true;
    }
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        // A release on the picture ends its drag and is not the page's release.
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void ScreenImageWindow::mousePressEvent(QMouseEvent* event)
{
    m_pressedOnPage = true;
    pagePressed(event->position().toPoint());
}

void ScreenImageWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressedOnPage && (event->buttons() & Qt::LeftButton))
        pageMoved(event->position().toPoint());
}

void ScreenImageWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_pressedOnPage)
        return;
    m_pressedOnPage = false;
    pageReleased(event->position().toPoint());
}

void ScreenImageWindow::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect page = m_screen.image().rect();
    for (const QRect& rect : event->region())
        painter.drawImage(rect & page, m_screen.image(), rect & page);
    // On a screen larger than the one the pages were made for, the rest of the window is empty.
    const QRegion beyondPage = event->region() - page;
    for (const QRect& rect : beyondPage)
        painter.fillRect(rect, Qt::black);
}
