#pragma once

#include <QRect>
#include <QtGlobal>

// Where the compositor shows the windows it manages. X11 window managers, and most Wayland
// compositors for their XWayland windows, put a window where its X geometry says; a tiling
// compositor opens it on its focused output instead and keeps it there. The program asks for the
// board screen's output through this before such a window shows, and when the board screen
// changes.
class CompositorOutputs {
public:
    virtual ~CompositorOutputs() = default;

    // Windows shown from now on open on the output that shows `area` (X coordinates).
    virtual void openWindowsOn(const QRect& area) = 0;
    // The window with the X id `window` goes to the output that shows `area`.
    virtual void moveWindowTo(quint64 window, const QRect& area) = 0;
};
