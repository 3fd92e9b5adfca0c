#include "platform/real/X11Desktop.h"
#include "platform/real/PortalScreenshot.h"
#include "platform/real/XcbReply.h"

#include <QGuiApplication>
#include <QScreen>

#include <QRect>
#include <QWindow>

#include <xcb/xcb_icccm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

xcb_atom_t internedAtom(xcb_connection_t* connection, xcb_intern_atom_cookie_t cookie)
{
    const XcbReply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr));
    return reply ? reply->atom : XCB_NONE;
}

xcb_intern_atom_cookie_t internAtom(xcb_connection_t* connection, const char* name)
{
    return xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
}

// A caption is one string; some clients store a terminating NUL with it.
QString textUpToNul(const char* data, uint32_t length, bool utf8)
{
    const auto end = static_cast<const char*>(std::memchr(data, '\0', length));
    const auto size = static_cast<qsizetype>(end ? end - data : length);
    return utf8 ? QString::fromUtf8(data, size) : QString::fromLatin1(data, size);
}

} // namespace

X11Desktop::X11Desktop(xcb_connection_t* connection, int screenNumber)
    : m_connection(connection), m_screenNumber(screenNumber)
{
    xcb_intern_atom_cookie_t* ewmhCookies = xcb_ewmh_init_atoms(connection, &m_ewmh);
    const xcb_intern_atom_cookie_t deleteCookie = internAtom(connection, "WM_DELETE_WINDOW");
    const xcb_intern_atom_cookie_t stateCookie = internAtom(connection, "WM_STATE");
    xcb_ewmh_init_atoms_replies(&m_ewmh, ewmhCookies, nullptr);
    m_wmDeleteWindow = internedAtom(connection, deleteCookie);
    m_wmState = internedAtom(connection, stateCookie);
    if (m_screenNumber < 0 || m_screenNumber >= m_ewmh.nb_screens)
        m_screenNumber = 0;
    m_screenGrab = std::make_unique<X11ScreenGrab>(connection, root());
    m_underWayland = PortalScreenshot::isXWayland(connection);
}

X11Desktop::~X11Desktop()
{
    xcb_ewmh_connection_wipe(&m_ewmh);
}

xcb_window_t X11Desktop::root() const
{
    return m_ewmh.screens[m_screenNumber]->root;
}

QList<xcb_window_t> X11Desktop::rootChildren() const
{
    const XcbReply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, root()), nullptr));
    if (!tree)
        return {};
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    // The server lists children bottom to top.
    QList<xcb_window_t> topmostFirst;
    topmostFirst.reserve(count);
    for (int i = count - 1; i >= 0; --i)
        topmostFirst.append(children[i]);
    return topmostFirst;
}

QList<TopLevelWindow> X11Desktop::describe(const QList<xcb_window_t>& windows) const
{
    // Every property request is sent before the first reply is read, so a walk costs a few
    // round trips to the server rather than one per window.
    struct CaptionCookies {
        xcb_get_property_cookie_t netWmName;
        xcb_get_property_cookie_t wmName;
        xcb_get_property_cookie_t netWmPid;
    };
    const auto requestCaption = [this](xcb_window_t window) {
        return CaptionCookies{xcb_ewmh_get_wm_name_unchecked(&m_ewmh, window),
                              xcb_icccm_get_wm_name_unchecked(m_connection, window),
                              xcb_ewmh_get_wm_pid_unchecked(&m_ewmh, window)};
    };
    // _NET_WM_NAME is UTF-8 by definition; WM_NAME is Latin-1 unless typed UTF8_STRING
    // (COMPOUND_TEXT starts out in Latin-1 as well).
    const auto takeCaption = [this](const CaptionCookies& cookies) {
        QString caption;
        xcb_ewmh_get_utf8_strings_reply_t netWmName;
        if (xcb_ewmh_get_wm_name_reply(&m_ewmh, cookies.netWmName, &netWmName, nullptr)) {
            caption = textUpToNul(netWmName.strings, netWmName.strings_len, true);
            xcb_ewmh_get_utf8_strings_reply_wipe(&netWmName);
        }
        xcb_icccm_get_text_property_reply_t wmName;
        if (xcb_icccm_get_wm_name_reply(m_connection, cookies.wmName, &wmName, nullptr)) {
            if (caption.isEmpty() && wmName.format == 8)
                caption = textUpToNul(wmName.name, wmName.name_len,
                                      wmName.encoding == m_ewmh.UTF8_STRING);
            xcb_icccm_get_text_property_reply_wipe(&wmName);
        }
        return caption;
    };
    // The process that says it owns the window (_NET_WM_PID), 0 when none does.
    const auto takeProcessId = [this](const CaptionCookies& cookies) {
        uint32_t pid = 0;
        return xcb_ewmh_get_wm_pid_reply(&m_ewmh, cookies.netWmPid, &pid, nullptr) ? qint64(pid)
                                                                                   : qint64(0);
    };

    QList<CaptionCookies> captionCookies;
    for (const xcb_window_t window : windows)
        captionCookies.append(requestCaption(window));
    QList<TopLevelWindow> result;
    for (qsizetype i = 0; i < windows.size(); ++i)
        result.append(
            {windows[i], takeCaption(captionCookies[i]), takeProcessId(captionCookies[i])});

    // A window without a caption may be a window manager's frame: its client is the child that
    // carries WM_STATE or a caption.
    QList<qsizetype> frames;
    QList<xcb_query_tree_cookie_t> treeCookies;
    for (qsizetype i = 0; i < result.size(); ++i) {
        if (result[i].caption.isEmpty()) {
            frames.append(i);
            treeCookies.append(xcb_query_tree_unchecked(m_connection, windows[i]));
        }
    }
    struct Candidate {
        qsizetype frame;
        xcb_window_t window;
        CaptionCookies caption;
        xcb_get_property_cookie_t wmState;
    };
    QList<Candidate> candidates;
    for (qsizetype k = 0; k < frames.size(); ++k) {
        const XcbReply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(m_connection, treeCookies[k], nullptr));
        if (!tree)
            continue;
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        for (int i = xcb_query_tree_children_length(tree.get()) - 1; i >= 0; --i) {
            candidates.append({frames[k], children[i], requestCaption(children[i]),
                               xcb_get_property_unchecked(m_connection, 0, children[i], m_wmState,
                                                          XCB_GET_PROPERTY_TYPE_ANY, 0, 0)});
        }
    }
    QList<bool> resolved(result.size(), false);
    for (const Candidate& candidate : candidates) {
        const QString caption = takeCaption(candidate.caption);
        const qint64 processId = takeProcessId(candidate.caption);
        const XcbReply<xcb_get_property_reply_t> state(
            xcb_get_property_reply(m_connection, candidate.wmState, nullptr));
        const bool isClient = (state && state->type != XCB_NONE) || !caption.isEmpty();
        if (isClient && !resolved[candidate.frame]) {
            result[candidate.frame] = {candidate.window, caption, processId};
            resolved[candidate.frame] = true;
        }
    }
    return result;
}

QList<TopLevelWindow> X11Desktop::topLevelWindows() const
{
    return describe(rootChildren());
}

void X11Desktop::requestClose(quint64 window)
{
    const auto target = static_cast<xcb_window_t>(window);
    bool supportsDelete = false;
    xcb_icccm_get_wm_protocols_reply_t protocols;
    if (xcb_icccm_get_wm_protocols_reply(
            m_connection, xcb_icccm_get_wm_protocols(m_connection, target, m_ewmh.WM_PROTOCOLS),
            &protocols, nullptr)) {
        supportsDelete = std::find(protocols.atoms, protocols.atoms + protocols.atoms_len,
                                   m_wmDeleteWindow) != protocols.atoms + protocols.atoms_len;
        xcb_icccm_get_wm_protocols_reply_wipe(&protocols);
    }
    if (supportsDelete) {
        // What the window manager sends when the user clicks the close button.
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = target;
        event.type = m_ewmh.WM_PROTOCOLS;
        event.data.data32[0] = m_wmDeleteWindow;
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(m_connection, 0, target, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&event));
    } else {
        // Only a request: the window manager decides, and nothing is killed.
        xcb_ewmh_request_close_window(&m_ewmh, m_screenNumber, target, XCB_CURRENT_TIME,
                                      XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
    }
    xcb_flush(m_connection);
}

quint64 X11Desktop::windowAt(QPoint screenPoint) const
{
    const QList<xcb_window_t> windows = rootChildren();
    QList<xcb_get_window_attributes_cookie_t> attributeCookies;
    QList<xcb_get_geometry_cookie_t> geometryCookies;
    for (const xcb_window_t window : windows) {
        attributeCookies.append(xcb_get_window_attributes_unchecked(m_connection, window));
        geometryCookies.append(xcb_get_geometry_unchecked(m_connection, window));
    }
    xcb_window_t hit = XCB_NONE;
    for (qsizetype i = 0; i < windows.size(); ++i) {
        const XcbReply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(m_connection, attributeCookies[i], nullptr));
        const XcbReply<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(m_connection, geometryCookies[i], nullptr));
        // Input-only windows catch events but show nothing, so they are never "under" a point.
        if (hit != XCB_NONE || !attributes || !geometry ||
            attributes->map_state != XCB_MAP_STATE_VIEWABLE ||
            attributes->_class == XCB_WINDOW_CLASS_INPUT_ONLY)
            continue;
        const int border = 2 * geometry->border_width;
        if (QRect(geometry->x, geometry->y, geometry->width + border, geometry->height + border)
                .contains(screenPoint))
            hit = windows[i];
    }
    if (hit == XCB_NONE)
        return 0;
    // The same id the walk gives: the client where the hit window is a frame.
    return describe({hit}).constFirst().id;
}

void X11Desktop::bringToFront(quint64 window)
{
    const auto target = static_cast<xcb_window_t>(window);
    xcb_ewmh_request_change_active_window(&m_ewmh, m_screenNumber, target,
                                          XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER, XCB_CURRENT_TIME,
                                          XCB_NONE);
    restack(target, XCB_STACK_MODE_ABOVE);
    xcb_flush(m_connection);
}

int X11Desktop::colourDepth() const
{
    return m_ewmh.screens[m_screenNumber]->root_depth;
}

bool X11Desktop::switchColourDepth(int)
{
    // An X server fixes the root window's depth and visual when it starts; no request changes
    // them while clients are connected. The display stays as it is.
    return false;
}

namespace {

// XWayland's root window shows only the X programs' windows, black everywhere else.
bool isBlack(const QImage& picture)
{
    if (picture.isNull())
        return true;
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            if (qRed(line[x]) | qGreen(line[x]) | qBlue(line[x]))
                return false;
        }
    }
    return true;
}

} // namespace

QImage X11Desktop::grabScreenWithout(QWindow* window)
{
    // The X11 grab also takes the window off the screen and waits until its place is drawn again.
    if (!m_underWayland)
        return m_screenGrab->grabWithout(window);
    // On a Wayland session the compositor holds the other programs' windows and the wallpaper:
    // it gives the picture through the desktop portal. XWayland's root shows no desktop, so
    // nothing draws the window's place again; once XWayland has taken the window off, the
    // compositor no longer shows it. Without a portal, the X server's picture serves unless it
    // is black all over, which is no picture of the desktop at all.
    m_screenGrab->hide(window);
    const QScreen* screen = window ? window->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QImage fromPortal = PortalScreenshot::cutToScreen(
            PortalScreenshot::take(), screen->virtualGeometry(), screen->geometry());
        if (!fromPortal.isNull())
            return fromPortal;
    }
    const QImage fromX = m_screenGrab->readScreen(window);
    return isBlack(fromX) ? QImage() : fromX;
}

QList<xcb_atom_t> X11Desktop::atomList(xcb_window_t window, xcb_atom_t property) const
{
    const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, window, property, XCB_ATOM_ATOM, 0, 1024),
        nullptr));
    if (!reply || reply->type != XCB_ATOM_ATOM || reply->format != 32)
        return {};
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    return QList<xcb_atom_t>(atoms, atoms + xcb_get_property_value_length(reply.get()) / 4);
}

void X11Desktop::setTaskbarVisible(bool visible)
{
    // Docks are children of the root, or clients of a window manager that puts them into frames.
    // A client it no longer manages leaves its list, so the docks hidden here are remembered.
    QList<xcb_window_t> windows = rootChildren();
    xcb_ewmh_get_windows_reply_t clients;
    if (xcb_ewmh_get_client_list_reply(&m_ewmh, xcb_ewmh_get_client_list(&m_ewmh, m_screenNumber),
                                       &clients, nullptr)) {
        for (uint32_t i = 0; i < clients.windows_len; ++i) {
            if (!windows.contains(clients.windows[i]))
                windows.append(clients.windows[i]);
        }
        xcb_ewmh_get_windows_reply_wipe(&clients);
    }
    if (visible) {
        for (const xcb_window_t dock : std::as_const(m_hiddenDocks)) {
            if (!windows.contains(dock))
                windows.append(dock);
        }
        m_hiddenDocks.clear();
    }
    QList<xcb_get_property_cookie_t> typeCookies;
    for (const xcb_window_t window : windows)
        typeCookies.append(xcb_ewmh_get_wm_window_type_unchecked(&m_ewmh, window));
    for (qsizetype i = 0; i < windows.size(); ++i) {
        xcb_ewmh_get_atoms_reply_t types;
        if (!xcb_ewmh_get_wm_window_type_reply(&m_ewmh, typeCookies[i], &types, nullptr))
            continue;
        const bool isDock =
            std::find(types.atoms, types.atoms + types.atoms_len,
                      m_ewmh._NET_WM_WINDOW_TYPE_DOCK) != types.atoms + types.atoms_len;
        xcb_ewmh_get_atoms_reply_wipe(&types);
        if (isDock) {
            if (visible) {
                xcb_map_window(m_connection, windows[i]);
            } else {
                xcb_unmap_window(m_connection, windows[i]);
                m_hiddenDocks.append(windows[i]);
            }
        }
    }
    xcb_flush(m_connection);
}

void X11Desktop::editStateProperty(xcb_window_t window, const QList<xcb_atom_t>& states, bool add)
{
    QList<xcb_atom_t> current = atomList(window, m_ewmh._NET_WM_STATE);
    for (const xcb_atom_t state : states) {
        if (!add)
            current.removeAll(state);
        else if (!current.contains(state))
            current.append(state);
    }
    xcb_ewmh_set_wm_state(&m_ewmh, window, static_cast<uint32_t>(current.size()), current.data());
}

// EWMH: a client edits _NET_WM_STATE itself only while its window is withdrawn; once mapped, the
// window manager owns the property and the client asks by a message to the root window. Qt merges
// what is already in the property when it maps the window, so states set before show() stay.
void X11Desktop::changeState(QWindow* window, xcb_atom_t state, bool add)
{
    const auto target = static_cast<xcb_window_t>(window->winId());
    if (window->isVisible()) {
        xcb_ewmh_request_change_wm_state(&m_ewmh, m_screenNumber, target,
                                         add ? XCB_EWMH_WM_STATE_ADD : XCB_EWMH_WM_STATE_REMOVE,
                                         state, XCB_NONE, XCB_EWMH_CLIENT_SOURCE_TYPE_NORMAL);
    } else {
        editStateProperty(target, {state}, add);
    }
}

bool X11Desktop::windowManagerRunning() const
{
    xcb_window_t check = XCB_NONE;
    if (!xcb_ewmh_get_supporting_wm_check_reply(
            &m_ewmh, xcb_ewmh_get_supporting_wm_check(&m_ewmh, root()), &check, nullptr))
        return false;
    // A window manager that has gone may leave the root's property behind, naming a window that
    // no longer exists; the checked request keeps that error out of the event queue.
    xcb_window_t self = XCB_NONE;
    return xcb_ewmh_get_supporting_wm_check_reply(
               &m_ewmh, xcb_ewmh_get_supporting_wm_check(&m_ewmh, check), &self, nullptr) &&
           self == check;
}

bool X11Desktop::isOverrideRedirect(xcb_window_t window) const
{
    const XcbReply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        m_connection, xcb_get_window_attributes(m_connection, window), nullptr));
    return attributes && attributes->override_redirect;
}

bool X11Desktop::isViewable(xcb_window_t window) const
{
    const XcbReply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        m_connection, xcb_get_window_attributes(m_connection, window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

void X11Desktop::restack(xcb_window_t window, uint32_t stackMode)
{
    // Restacking only: no position, size or focus is part of the request.
    xcb_configure_window(m_connection, window, XCB_CONFIG_WINDOW_STACK_MODE, &stackMode);
}

void X11Desktop::keepOffTaskbar(QWindow* window)
{
    const auto target = static_cast<xcb_window_t>(window->winId());
    changeState(window, m_ewmh._NET_WM_STATE_SKIP_TASKBAR, true);
    changeState(window, m_ewmh._NET_WM_STATE_SKIP_PAGER, true);
    // A utility window is a tool window to the window manager; the types Qt set stay behind it
    // as fallbacks.
    QList<xcb_atom_t> types = atomList(target, m_ewmh._NET_WM_WINDOW_TYPE);
    types.removeAll(m_ewmh._NET_WM_WINDOW_TYPE_UTILITY);
    types.prepend(m_ewmh._NET_WM_WINDOW_TYPE_UTILITY);
    xcb_ewmh_set_wm_window_type(&m_ewmh, target, static_cast<uint32_t>(types.size()), types.data());
    xcb_flush(m_connection);
}

void X11Desktop::setKeptOnTop(QWindow* window, bool onTop)
{
    const auto target = static_cast<xcb_window_t>(window->winId());
    if (isOverrideRedirect(target)) {
        // No window manager stacks this window: it goes over every other window, even an active
        // full-screen one, or out of the way beneath them all.
        restack(target, onTop ? XCB_STACK_MODE_ABOVE : XCB_STACK_MODE_BELOW);
    } else {
        changeState(window, m_ewmh._NET_WM_STATE_ABOVE, onTop);
        if (onTop)
            restack(target, XCB_STACK_MODE_ABOVE);
    }
    xcb_flush(m_connection);
}

void X11Desktop::setFullScreen(QWindow* window)
{
    changeState(window, m_ewmh._NET_WM_STATE_FULLSCREEN, true);
    xcb_flush(m_connection);
}

void X11Desktop::activate(QWindow* window)
{
    const auto target = static_cast<xcb_window_t>(window->winId());
    if (windowManagerRunning()) {
        // Sent as a pager sends it: activation here always follows the user's own action, and a
        // window manager then grants it without weighing it as focus stealing.
        xcb_ewmh_request_change_active_window(&m_ewmh, m_screenNumber, target,
                                              XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER, XCB_CURRENT_TIME,
                                              XCB_NONE);
    } else if (isViewable(target)) {
        xcb_set_input_focus(m_connection, XCB_INPUT_FOCUS_PARENT, target, XCB_CURRENT_TIME);
    }
    restack(target, XCB_STACK_MODE_ABOVE);
    xcb_flush(m_connection);
}

void X11Desktop::movePointer(QPoint screenPoint)
{
    xcb_warp_pointer(m_connection, XCB_NONE, root(), 0, 0, 0, 0,
                     static_cast<int16_t>(screenPoint.x()), static_cast<int16_t>(screenPoint.y()));
    xcb_flush(m_connection);
}
