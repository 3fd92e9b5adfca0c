#include "platform/real/QtDesktop.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWindow>

QList<TopLevelWindow> QtDesktop::topLevelWindows() const
{
    return {};
}

// No window ids come from this desktop, so there is no window to close or raise.
void QtDesktop::requestClose(quint64) {}

quint64 QtDesktop::windowAt(QPoint) const
{
    return 0;
}

void QtDesktop::bringToFront(quint64) {}

int QtDesktop::colourDepth() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->depth() : 0;
}

bool QtDesktop::switchColourDepth(int)
{
    // Qt has no way to change a display mode.
    return false;
}

// Without a display server to ask, the window is hidden and the screen read at once.
QImage QtDesktop::grabScreenWithout(QWindow* window)
{
    if (window)
        window->hide();
    QScreen* screen = window ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->grabWindow(0).toImage() : QImage();
}

// A taskbar belongs to the compositor here; Qt can neither hide it nor keep a window off it
// without changing the window's type (Qt::Tool), which would change more than the taskbar.
void QtDesktop::setTaskbarVisible(bool) {}

void QtDesktop::keepOffTaskbar(QWindow*) {}

void QtDesktop::setKeptOnTop(QWindow* window, bool onTop)
{
    window->setFlag(Qt::WindowStaysOnTopHint, onTop);
}

void QtDesktop::movePointer(QPoint screenPoint)
{
    QCursor::setPos(screenPoint);
}

// The windows set the screen's geometry themselves; Qt's full-screen state would change the
// widget's own window state as well.
void QtDesktop::setFullScreen(QWindow*) {}

void QtDesktop::activate(QWindow* window)
{
    window->raise();
    window->requestActivate();
}
