#pragma once

class QObject;
class QWindow;

namespace DesktopWindow {

// The window a desktop shows for a widget of the program: set for a top-level widget that has
// one, null for any other object and for menus and tooltips, which pass by the window manager.
QWindow* of(QObject* object);

} // namespace DesktopWindow
