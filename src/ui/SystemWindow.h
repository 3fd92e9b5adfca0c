#pragma once

#include <QWidget>

// Window flags and names shared by the program's windows: each carries its system name as its
// objectName and its caption; all but the board stay on top of other programs and none appears
// on the taskbar.
namespace SystemWindow {

// Topmost: above every other window, active full-screen windows of other programs included. No
// window manager handles such a window (a window manager keeps the active full-screen window
// above all it manages); it is restacked by the program itself.
// OnTop: above other programs' ordinary windows. Normal: stacked as any window.
enum class Layer { Topmost, OnTop, Normal };

void setUp(QWidget* window, const QString& objectName, const QString& caption, Layer layer);
// The screen a window of the program shows on, in desktop coordinates: the board screen once the
// window has been placed there. Places the windows are given are relative to its top-left corner.
QRect screenArea(const QWidget* window);
// Moves a window to a place on its screen.
void moveOnScreen(QWidget* window, QPoint place);
// Frameless and covering the whole screen, without relying on a window manager.
void coverScreen(QWidget* window);
// Centred on the screen, as the program's dialogs open.
void centreOnScreen(QWidget* window);

} // namespace SystemWindow
