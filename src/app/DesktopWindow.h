#pragma once

class QObject;
class QWidget;
class QWindow;

namespace DesktopWindow {

// The window a desktop shows for a widget of the program: set for a top-level widget that has
// one, null for any other object and for menus and tooltips, which pass by the window manager.
QWindow* of(QObject* object);
// Whether a window manager (or a compositor) handles the top-level widget's window: the toolbar
// passes by it, and places and stacks itself.
bool isManaged(const QWidget* window);

} // namespace DesktopWindow
