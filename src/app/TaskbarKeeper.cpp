#include "app/TaskbarKeeper.h"

#include "app/DesktopWindow.h"
#include "app/RecreatedWindows.h"
#include "platform/Desktop.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

TaskbarKeeper::TaskbarKeeper(Desktop& desktop) : m_desktop(desktop)
{
    qApp->installEventFilter(this);
}

bool TaskbarKeeper::eventFilter(QObject* watched, QEvent* event)
{
    // The show event comes before the window is mapped: the state is in place when it appears.
    if (event->type() == QEvent::Show) {
        if (QWindow* window = DesktopWindow::of(watched))
            m_desktop.keepOffTaskbar(window);
    } else if (QWindow* window = RecreatedWindows::madeAnew(watched, event)) {
        m_desktop.keepOffTaskbar(window);
    }
    return QObject::eventFilter(watched, event);
}
