#pragma once

#include "platform/Desktop.h"
#include "platform/real/X11ScreenGrab.h"

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <memory>

// The desktop of an X11 session, reached through xcb with the EWMH and ICCCM conventions.
//
// It works on the program's own X connection (Qt's), so windows the program created a moment
// before are already in the server's window tree when this class walks it: both go down the same
// connection and the server handles requests in order.
//
// Window ids are X window ids. Where a window manager wraps a client in a frame, the client's id
// and caption stand for the frame, at the frame's place in the stacking order; requests such as
// close and activate are addressed to clients anyway. Screen coordinates are root-window pixels.
class X11Desktop final : public Desktop {
public:
    X11Desktop(xcb_connection_t* connection, int screenNumber);
    ~X11Desktop() override;
    X11Desktop(const X11Desktop&) = delete;
    X11Desktop& operator=(const X11Desktop&) = delete;

    QList<TopLevelWindow> topLevelWindows() const override;
    void requestClose(quint64 window) override;
    quint64 windowAt(QPoint screenPoint) const override;
    void bringToFront(quint64 window) override;

    int colourDepth() const override;
    bool switchColourDepth(int bitsPerPixel) override;

    QImage grabScreenWithout(QWindow* window) override;

    void setTaskbarVisible(bool visible) override;
    void keepOffTaskbar(QWindow* window) override;
    void setKeptOnTop(QWindow* window, bool onTop) override;
    void setFullScreen(QWindow* window) override;
    void activate(QWindow* window) override;

    void movePointer(QPoint screenPoint) override;

    // The root window of the screen this desktop works on.
    xcb_window_t root() const;
    const X11ScreenGrab& screenGrab() const { return *m_screenGrab; }

private:
    // The X server is a Wayland session's (XWayland).
    bool m_underWayland = false;
    // The children of the root window, topmost first.
    QList<xcb_window_t> rootChildren() const;
    // Captions and owning processes of the given top-level windows; a frame without a caption is
    // replaced by its client.
    QList<TopLevelWindow> describe(const QList<xcb_window_t>& windows) const;
    QList<xcb_atom_t> atomList(xcb_window_t window, xcb_atom_t property) const;
    // Adds or removes atoms of _NET_WM_STATE on a window that is not mapped.
    void editStateProperty(xcb_window_t window, const QList<xcb_atom_t>& states, bool add);
    // Adds or removes states of a window of the program: in the property while it is withdrawn,
    // by a request to the window manager once it is shown.
    void changeState(QWindow* window, xcb_atom_t state, bool add);
    // True when an EWMH window manager runs on the screen: its check window names itself.
    bool windowManagerRunning() const;
    bool isOverrideRedirect(xcb_window_t window) const;
    bool isViewable(xcb_window_t window) const;
    // A stacking request: a window manager receives it as a request, a bare server carries it out.
    void restack(xcb_window_t window, uint32_t stackMode);

    xcb_connection_t* m_connection;
    int m_screenNumber;
    // libxcb-ewmh takes non-const pointers even where it only reads the atoms.
    mutable xcb_ewmh_connection_t m_ewmh{};
    xcb_atom_t m_wmDeleteWindow = XCB_NONE;
    xcb_atom_t m_wmState = XCB_NONE;
    std::unique_ptr<X11ScreenGrab> m_screenGrab;
    // Docks setTaskbarVisible(false) hid, shown again by setTaskbarVisible(true).
    QList<xcb_window_t> m_hiddenDocks;
};
