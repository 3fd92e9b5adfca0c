#pragma once

#include <QImage>
#include <QList>
#include <QPoint>
#include <QString>

class QWindow;

// A top-level window of the desktop: the program's own and other programs' windows, mapped or not.
struct TopLevelWindow {
    quint64 id = 0;
    QString caption;
    // The process that says it owns the window, 0 when it does not say.
    qint64 processId = 0;
};

// The desktop the program runs on: other programs' windows, the display and the taskbar.
// Screen coordinates are device pixels of the whole screen.
class Desktop {
public:
    virtual ~Desktop() = default;

    // Every top-level window, topmost first, including unmapped ones.
    virtual QList<TopLevelWindow> topLevelWindows() const = 0;
    // Asks a window to close, as its own close button would.
    virtual void requestClose(quint64 window) = 0;
    // The top-level window under a screen point, 0 when there is none.
    virtual quint64 windowAt(QPoint screenPoint) const = 0;
    virtual void bringToFront(quint64 window) = 0;

    // Bits per pixel of the screen.
    virtual int colourDepth() const = 0;
    // Switches the display to the given depth for this session; false when the display cannot.
    virtual bool switchColourDepth(int bitsPerPixel) = 0;

    // A picture of the screen the given window of the program is on, once the window is off it: a shown
    // window is hidden here, and the screen is read when what it covered has been drawn again.
    // Pass the window while it is still shown. A null window gives the screen as it is now.
    // A null picture when the desktop gives none (a Wayland session without a portal).
    virtual QImage grabScreenWithout(QWindow* window) = 0;

    // Hides or shows the desktop's taskbar (its dock windows).
    virtual void setTaskbarVisible(bool visible) = 0;
    // Keeps a window of the program off the taskbar and the window switcher.
    virtual void keepOffTaskbar(QWindow* window) = 0;
    // Puts a window into or out of the always-on-top layer without moving, resizing or activating
    // it. A window that no window manager handles (Qt::BypassWindowManagerHint) goes to the top
    // of the stack, or out of it to the bottom.
    virtual void setKeptOnTop(QWindow* window, bool onTop) = 0;
    // Marks a window of the program, whose geometry is the whole screen, as a full-screen window,
    // so that a desktop puts it over its panels while it is active. Call it each time before the
    // window is shown (a window manager forgets it on hiding); later calls apply at once.
    virtual void setFullScreen(QWindow* window) = 0;
    // Makes a shown window of the program the active one, with the keyboard focus, and raises it.
    virtual void activate(QWindow* window) = 0;

    virtual void movePointer(QPoint screenPoint) = 0;
};
