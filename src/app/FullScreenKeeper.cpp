#include "app/FullScreenKeeper.h"

#include "app/DesktopWindow.h"
#include "app/RecreatedWindows.h"
#include "platform/Desktop.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

FullScreenKeeper::FullScreenKeeper(Desktop& desktop) : m_desktop(desktop)
{
    qApp->installEventFilter(this);
}

void FullScreenKeeper::watch(QWidget* window)
{
    m_windows.append(window);
}

bool FullScreenKeeper::isWatched(const QObject* object) const
{
    for (const QPointer<QWidget>& window : m_windows) {
        if (window.data() == object)
            return true;
    }
    return false;
}

bool FullScreenKeeper::eventFilter(QObject* watched, QEvent* event)
{
    if (QWindow* window = RecreatedWindows::madeAnew(watched, event)) {
        // A watched window made anew lost its full-screen state with its old native window.
        for (const QPointer<QWidget>& watchedWindow : std::as_const(m_windows)) {
            if (watchedWindow && watchedWindow->windowHandle() == window) {
                m_desktop.setFullScreen(window);
                activateLater();
            }
        }
        return QObject::eventFilter(watched, event);
    }
    if (event->type() != QEvent::Show && event->type() != QEvent::Hide)
        return QObject::eventFilter(watched, event);
    QWindow* window = DesktopWindow::of(watched);
    if (!window)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::Show && isWatched(watched)) {
        // Before the window is mapped, so the window manager maps it full screen.
        m_desktop.setFullScreen(window);
        auto* widget = static_cast<QWidget*>(watched);
        m_windows.removeAll(widget);
        m_windows.append(widget);
        activateLater();
    } else if (event->type() == QEvent::Show) {
        belongToTopmost(static_cast<QWidget*>(watched), window);
    } else if (event->type() == QEvent::Hide) {
        activateLater();
    }
    return QObject::eventFilter(watched, event);
}

void FullScreenKeeper::belongToTopmost(const QWidget* widget, QWindow* window) const
{
    // The toolbar passes by the window manager; it has no place in any window's group.
    if (!DesktopWindow::isManaged(widget))
        return;
    // A window that belongs to another shown window (a password window to the settings window)
    // keeps it: the window manager stacks it above that one, which is above the full-screen window
    // in turn. Made to belong to the full-screen window, it could end up beneath its own.
    const QWindow* owner = window->transientParent();
    if (owner && owner->isVisible())
        return;
    for (auto it = m_windows.crbegin(); it != m_windows.crend(); ++it) {
        const QWidget* fullScreen = *it;
        if (fullScreen && fullScreen->isVisible() && fullScreen->windowHandle()) {
            if (window->transientParent() != fullScreen->windowHandle())
                window->setTransientParent(fullScreen->windowHandle());
            return;
        }
    }
}

void FullScreenKeeper::activateLater()
{
    if (m_activationPending)
        return;
    m_activationPending = true;
    QTimer::singleShot(0, this, &FullScreenKeeper::activateTopmost);
}

void FullScreenKeeper::activateTopmost()
{
    m_activationPending = false;
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && !isWatched(modal))
        return;
    for (auto it = m_windows.crbegin(); it != m_windows.crend(); ++it) {
        QWidget* window = *it;
        if (window && window->isVisible() && window->windowHandle()) {
            m_desktop.activate(window->windowHandle());
            return;
        }
    }
}
