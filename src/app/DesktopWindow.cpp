#include "app/DesktopWindow.h"

#include <QWidget>
#include <QWindow>

namespace DesktopWindow {

QWindow* of(QObject* object)
{
    if (!object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (!widget->isWindow())
        return nullptr;
    switch (widget->windowType()) {
    case Qt::Popup:
    case Qt::ToolTip:
    case Qt::Desktop:
    case Qt::ForeignWindow:
        return nullptr;
    default:
        return widget->windowHandle();
    }
}

bool isManaged(const QWidget* window)
{
    return !window->windowFlags().testFlag(Qt::BypassWindowManagerHint);
}

} // namespace DesktopWindow
