#include "app/RecreatedWindows.h"

#include "app/DesktopWindow.h"

#include <QEvent>
#include <QWidget>

QWindow* RecreatedWindows::exposedAfterRecreation(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::WinIdChange) {
        // A hidden window gets its states on its next show.
        QWindow* window = DesktopWindow::of(watched);
        if (window && static_cast<QWidget*>(watched)->isVisible() && !m_waiting.contains(window))
            m_waiting.append(window);
        return nullptr;
    }
    if (event->type() != QEvent::Expose)
        return nullptr;
    auto* window = qobject_cast<QWindow*>(watched);
    if (!window || !window->isExposed() || !m_waiting.contains(window))
        return nullptr;
    m_waiting.removeAll(window);
    return window;
}
