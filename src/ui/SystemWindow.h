#pragma once

#include <QWidget>

// Window flags and names shared by the program's windows: each carries its system name as its
// objectName and its caption; all but the board stay on top of other programs and none appears
// on the taskbar.
namespace SystemWindow {

enum class Layer { OnTop, Normal };

void setUp(QWidget* window, const QString& objectName, const QString& caption, Layer layer);
// Frameless and covering the whole primary screen, without relying on a window manager.
void coverScreen(QWidget* window);

} // namespace SystemWindow
