#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QRect>
#include <QRegion>

#include <xcb/xcb.h>

class QWindow;

// The whole screen read from the X server once one of the program's windows has left it.
//
// Hiding a window is not enough for a picture of what lies beneath: the server processes the
// unmap, a window manager then unmaps its frame, and whatever was under it must be drawn again -
// by the other programs on an uncomposited screen, by the compositing manager on a composited
// one. This class watches the screen itself: before the window is hidden it asks the DAMAGE
// extension to report every drawing into the screen's pixels (the root window's, which is where
// both unredirected windows and a compositing manager's output land), then waits, running the
// event loop without user input so the program's own windows can redraw too, until the window's
// top-level frame is unmapped and every pixel of the place it left has been drawn again. Only
// then is the screen read. A deadline bounds the wait for a program that never redraws.
//
// A compositing manager may draw the place several times before the window is gone from it (it
// fades the window out, or draws the windows beneath as they fade in): while one runs, the place
// must also have been left alone for a moment before the screen is read.
//
// Events are read on a connection of its own: Qt reads every event of its connection itself.
// Coordinates are root-window pixels.
class X11ScreenGrab {
public:
    // qtConnection is the application's; the class opens its own to the same display.
    X11ScreenGrab(xcb_connection_t* qtConnection, xcb_window_t root);
    ~X11ScreenGrab();
    X11ScreenGrab(const X11ScreenGrab&) = delete;
    X11ScreenGrab& operator=(const X11ScreenGrab&) = delete;

    // Hides the window when it is shown and returns the screen it is on without it; a null or
    // hidden window gives the screen as it is.
    QImage grabWithout(QWindow* window);
    // Hides the window and returns once the X server has taken it off the screen, without waiting
    // for its place to be drawn again: for a server whose root shows no desktop (XWayland's),
    // where no drawing over the place ever comes.
    void hide(QWindow* window);
    // The screen the window is on (the primary one without a window), as the server shows it.
    QImage readScreen(const QWindow* window) const;

    // How long a grab waits at most for the place to be drawn again.
    static constexpr int deadlineMs = 1000;
    // How long the place stays undrawn, under a compositing manager, before it is taken as
    // settled: longer than the frames of a fade, shorter than a teacher notices.
    static constexpr int settleMs = 60;
    // Whether the last grab that hid a window saw its place drawn again before the deadline.
    bool lastGrabSawPlaceRedrawn() const { return m_lastGrabSawPlaceRedrawn; }

private:
    struct Watch {
        xcb_window_t topLevel = XCB_NONE;
        QRect place;
        uint32_t damage = 0;
        bool gone = false;
        QRegion redrawn;
        bool composited = false;
        // Since the last drawing into the place.
        QElapsedTimer sinceDrawn;
    };

    bool damageAvailable();
    // Whether a compositing manager draws the screen.
    bool compositingManagerRuns() const;
    xcb_window_t topLevelOf(xcb_window_t window) const;
    QRect placeOf(xcb_window_t topLevel) const;
    void startWatch(Watch& watch);
    void stopWatch(const Watch& watch);
    // Reads the events that arrived; true once the place has been left and drawn again.
    bool readEvents(Watch& watch);
    // True when the place was drawn again before the deadline.
    bool waitUntilRedrawn(Watch& watch);

    xcb_connection_t* m_qtConnection;
    xcb_window_t m_root;
    xcb_connection_t* m_connection = nullptr;
    // The DAMAGE extension on m_connection: 0 for the major opcode when it is missing.
    uint8_t m_damageOpcode = 0;
    uint8_t m_damageFirstEvent = 0;
    bool m_damageChecked = false;
    bool m_lastGrabSawPlaceRedrawn = false;
};
