#include "ui/SystemWindow.h"

#include <QGuiApplication>
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

void coverScreen(QWidget* window)
{
    window->setGeometry(QGuiApplication::primaryScreen()->geometry());
}

void centreOnScreen(QWidget* window)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    window->move(screen.center() - window->rect().center());
}

} // namespace SystemWindow
