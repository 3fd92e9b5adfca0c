#include "ui/SystemWindow.h"

#include <QScreen>

namespace SystemWindow {

void setUp(QWidget* window, const QString& objectName, const QString& caption, Layer layer)
{
    window->setObjectName(objectName);
    window->setWindowTitle(caption);
    Qt::WindowFlags flags = Qt::Window | Qt::FramelessWindowHint | Qt::Tool;
    if (layer != Layer::Normal)
        flags |= Qt::WindowStaysOnTopHint;
    if (layer == Layer::Topmost)
        flags |= Qt::BypassWindowManagerHint;
    window->setWindowFlags(flags);
    // The toolbar and the board are used without ever being the active window: hints show anyway.
    window->setAttribute(Qt::WA_AlwaysShowToolTips);
}

QRect screenArea(const QWidget* window)
{
    const QScreen* screen = window->screen();
    return screen ? screen->geometry() : QRect();
}

void moveOnScreen(QWidget* window, QPoint place)
{
    window->move(screenArea(window).topLeft() + place);
}

void coverScreen(QWidget* window)
{
    window->setGeometry(screenArea(window));
}

void centreOnScreen(QWidget* window)
{
    window->move(screenArea(window).center() - window->rect().center());
}

} // namespace SystemWindow
