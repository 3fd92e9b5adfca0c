#include "app/TaskbarKeeper.h"

#include "platform/Desktop.h"

#include <QEvent>
#include <QWidget>

void TaskbarKeeper::watch(QWidget* window)
{
    window->installEventFilter(this);
}

bool TaskbarKeeper::eventFilter(QObject* watched, QEvent* event)
{
    // The show event comes before the window is mapped: the state is in place when it appears.
    if (event->type() == QEvent::Show) {
        auto* window = static_cast<QWidget*>(watched);
        if (window->isWindow() && window->windowHandle())
            m_desktop.keepOffTaskbar(window->windowHandle());
    }
    return QObject::eventFilter(watched, event);
}
