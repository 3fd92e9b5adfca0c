#pragma once

#include <QImage>
#include <QRect>

struct xcb_connection_t;

// A picture of the whole desktop from the desktop portal (org.freedesktop.portal.Screenshot on
// the session bus), the way a program asks a Wayland session for one: its X server holds none of
// the native windows or the wallpaper. The request is non-interactive; the portal answers with
// the URI of a file it wrote, which is read and then removed.
namespace PortalScreenshot {

// How long a snapshot waits at most for the portal's answer. The portal's backend writes a PNG
// of the whole desktop, over a second on a busy laptop; a late answer is better than none.
constexpr int answerDeadlineMs = 10000;

// The picture, or a null image when there is no session bus, no portal, a refusal, no answer
// within deadlineMs or no readable picture. The event loop runs meanwhile without user input.
QImage take(int deadlineMs = answerDeadlineMs);

// The part of the portal's picture of the whole desktop (whose X coordinates are `desktop`) that
// shows `screen`. A session that scales its outputs gives a picture of another size: it is
// brought to the desktop's size first.
QImage cutToScreen(const QImage& whole, const QRect& desktop, const QRect& screen);

// Whether the X server is XWayland, a Wayland session's X server: WAYLAND_DISPLAY is set, or the
// server has the XWAYLAND extension.
bool isXWayland(xcb_connection_t* connection);

} // namespace PortalScreenshot
