#include "app/RecreatedWindows.h"

#include "app/DesktopWindow.h"

#include <QEvent>
#include <QWidget>

namespace RecreatedWindows {

QWindow* madeAnew(QObject* watched, QEvent* event)
{
    // A hidden window gets its states on its next show. A shown one changes its native window
    // only when Qt makes it anew, which Qt maps again right after.
    if (event->type() != QEvent::WinIdChange)
        return nullptr;
    QWindow* window = DesktopWindow::of(watched);
    return window && static_cast<QWidget*>(watched)->isVisible() ? window : nullptr;
}

} // namespace RecreatedWindows
