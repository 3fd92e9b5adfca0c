#include "platform/real/X11ScreenGrab.h"

#include "platform/real/XcbReply.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <QWindow>

#include <xcb/damage.h>

#include <cstdlib>

namespace {

void syncWith(xcb_connection_t* connection)
{
    const XcbReply<xcb_get_input_focus_reply_t> reply(
        xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

} // namespace

X11ScreenGrab::X11ScreenGrab(xcb_connection_t* qtConnection, xcb_window_t root)
    : m_qtConnection(qtConnection), m_root(root)
{
}

X11ScreenGrab::~X11ScreenGrab()
{
    if (m_connection)
        xcb_disconnect(m_connection);
}

bool X11ScreenGrab::damageAvailable()
{
    if (m_damageChecked)
        return m_damageOpcode != 0;
    m_damageChecked = true;
    m_connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(m_connection))
        return false;
    const xcb_query_extension_reply_t* extension =
        xcb_get_extension_data(m_connection, &xcb_damage_id);
    if (!extension || !extension->present)
        return false;
    // The version must be agreed before the extension takes any other request.
    const XcbReply<xcb_damage_query_version_reply_t> reply(xcb_damage_query_version_reply(
        m_connection, xcb_damage_query_version(m_connection, 1, 1), nullptr));
    if (!reply)
        return false;
    m_damageOpcode = extension->major_opcode;
    m_damageFirstEvent = extension->first_event;
    return true;
}

bool X11ScreenGrab::compositingManagerRuns() const
{
    // The manager of screen n owns the selection _NET_WM_CM_Sn.
    int screenNumber = 0;
    for (xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
         it.rem && it.data->root != m_root; xcb_screen_next(&it))
        ++screenNumber;
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screenNumber);
    const XcbReply<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, name.size(), name.constData()), nullptr));
    if (!atom)
        return false;
    const XcbReply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        m_connection, xcb_get_selection_owner(m_connection, atom->atom), nullptr));
    return owner && owner->owner != XCB_NONE;
}

xcb_window_t X11ScreenGrab::topLevelOf(xcb_window_t window) const
{
    // A window manager may have put the window into a frame; the frame is what covers the screen.
    xcb_window_t current = window;
    for (;;) {
        const XcbReply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, current), nullptr));
        if (!tree || tree->parent == XCB_NONE || tree->parent == m_root)
            return current;
        current = tree->parent;
    }
}

QRect X11ScreenGrab::placeOf(xcb_window_t topLevel) const
{
    const XcbReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, topLevel), nullptr));
    if (!geometry)
        return {};
    const int border = 2 * geometry->border_width;
    const xcb_screen_t* screenOfRoot = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    for (xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_connection)); it.rem;
         xcb_screen_next(&it)) {
        if (it.data->root == m_root)
            screenOfRoot = it.data;
    }
    const QRect screen(0, 0, screenOfRoot->width_in_pixels, screenOfRoot->height_in_pixels);
    return QRect(geometry->x, geometry->y, geometry->width + border, geometry->height + border) &
           screen;
}

void X11ScreenGrab::startWatch(Watch& watch)
{
    const uint32_t structure = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, watch.topLevel, XCB_CW_EVENT_MASK, &structure);
    watch.damage = xcb_generate_id(m_connection);
    xcb_damage_create(m_connection, watch.damage, m_root, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
    // Both are in force before the window is hidden, so no event of the hiding is missed.
    syncWith(m_connection);
}

void X11ScreenGrab::stopWatch(const Watch& watch)
{
    xcb_damage_destroy(m_connection, watch.damage);
    const uint32_t none = XCB_EVENT_MASK_NO_EVENT;
    xcb_change_window_attributes(m_connection, watch.topLevel, XCB_CW_EVENT_MASK, &none);
    syncWith(m_connection);
    // Whatever arrived meanwhile belongs to this grab only.
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection))
        std::free(event);
}

bool X11ScreenGrab::readEvents(Watch& watch)
{
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_UNMAP_NOTIFY) {
            watch.gone |=
                reinterpret_cast<xcb_unmap_notify_event_t*>(event)->window == watch.topLevel;
        } else if (type == XCB_DESTROY_NOTIFY) {
            watch.gone |=
                reinterpret_cast<xcb_destroy_notify_event_t*>(event)->window == watch.topLevel;
        } else if (type == m_damageFirstEvent + XCB_DAMAGE_NOTIFY && watch.gone) {
            // Drawing reported after the unmap shows what is beneath; drawing before it does not.
            const xcb_rectangle_t area = reinterpret_cast<xcb_damage_notify_event_t*>(event)->area;
            const QRect drawn(area.x, area.y, area.width, area.height);
            watch.redrawn += drawn;
            if (drawn.intersects(watch.place))
                watch.sinceDrawn.start();
        }
        std::free(event);
    }
    const bool redrawn = watch.gone && (QRegion(watch.place) - watch.redrawn).isEmpty();
    return redrawn && (!watch.composited || watch.sinceDrawn.elapsed() >= settleMs);
}

bool X11ScreenGrab::waitUntilRedrawn(Watch& watch)
{
    if (readEvents(watch))
        return true;
    // The program's own windows beneath redraw in this loop as well; the user's input waits.
    QEventLoop loop;
    QSocketNotifier notifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &loop, [&] {
        if (readEvents(watch))
            loop.quit();
    });
    // Under a compositing manager nothing may arrive while the place settles: look again now
    // and then.
    QTimer settle;
    QObject::connect(&settle, &QTimer::timeout, &loop, [&] {
        if (readEvents(watch))
            loop.quit();
    });
    if (watch.composited)
        settle.start(settleMs / 4);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(deadlineMs);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return deadline.isActive();
}

void X11ScreenGrab::hide(QWindow* window)
{
    if (window)
        window->hide();
    xcb_flush(m_qtConnection);
    syncWith(m_qtConnection);
}

QImage X11ScreenGrab::readScreen(const QWindow* window) const
{
    QScreen* screen = window ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->grabWindow(0).toImage() : QImage();
}

QImage X11ScreenGrab::grabWithout(QWindow* window)
{
    if (!window || !window->isVisible() || !damageAvailable()) {
        hide(window);
        return readScreen(window);
    }
    Watch watch;
    watch.topLevel = topLevelOf(static_cast<xcb_window_t>(window->winId()));
    watch.place = placeOf(watch.topLevel);
    watch.composited = compositingManagerRuns();
    watch.sinceDrawn.start();
    startWatch(watch);
    window->hide();
    xcb_flush(m_qtConnection);
    m_lastGrabSawPlaceRedrawn = waitUntilRedrawn(watch);
    stopWatch(watch);
    return readScreen(window);
}
