#pragma once

class QEvent;
class QObject;
class QWindow;

// Qt makes a shown window's native window anew when a child needs another kind of surface (a web
// view's first page, for one), and maps the new one without the states the window manager was
// told for the old one. A window manager takes some states only from a window being mapped:
// openbox makes no tool window full screen on request. So the states are told again in between,
// once the new native window exists and before Qt maps it, as on any show.
namespace RecreatedWindows {

// The shown window whose native window Qt has just made anew, not yet mapped; else null.
QWindow* madeAnew(QObject* watched, QEvent* event);

} // namespace RecreatedWindows
