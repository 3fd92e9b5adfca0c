#include "DisplayProbe.h"

#include "platform/real/XcbReply.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <xcb/xcb_ewmh.h>

#include <cstdlib>
#include <cstring>

DisplayProbe::DisplayProbe(const QByteArray& display) : m_display(display)
{
    int screen = 0;
    m_connection = xcb_connect(display.constData(), &screen);
    if (!xcb_connection_has_error(m_connection))
        m_desktop = std::make_unique<X11Desktop>(m_connection, screen);
}

DisplayProbe::~DisplayProbe()
{
    m_desktop.reset();
    xcb_disconnect(m_connection);
}

xcb_atom_t DisplayProbe::atom(const char* name) const
{
    const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        m_connection,
        xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : XCB_NONE;
}

QColor DisplayProbe::pixel(QPoint point) const
{
    const XcbReply<xcb_get_image_reply_t> image(xcb_get_image_reply(
        m_connection,
        xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_desktop->root(),
                      static_cast<int16_t>(point.x()), static_cast<int16_t>(point.y()), 1, 1, ~0u),
        nullptr));
    // A 24-bit screen keeps a pixel in 32 bits: blue, green, red, unused.
    if (!image || xcb_get_image_data_length(image.get()) < 4)
        return {};
    const uint8_t* data = xcb_get_image_data(image.get());
    return QColor(data[2], data[1], data[0]);
}

QImage DisplayProbe::grab(const QRect& area) const
{
    const XcbReply<xcb_get_image_reply_t> reply(xcb_get_image_reply(
        m_connection,
        xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_desktop->root(),
                      static_cast<int16_t>(area.x()), static_cast<int16_t>(area.y()),
                      static_cast<uint16_t>(area.width()), static_cast<uint16_t>(area.height()),
                      ~0u),
        nullptr));
    // A 24-bit screen keeps a pixel in 32 bits, as RGB32 does.
    const qsizetype bytes = qsizetype(area.width()) * area.height() * 4;
    if (!reply || xcb_get_image_data_length(reply.get()) < bytes)
        return {};
    QImage image(area.size(), QImage::Format_RGB32);
    const uint8_t* data = xcb_get_image_data(reply.get());
    for (int y = 0; y < area.height(); ++y) {
        auto* line = reinterpret_cast<quint32*>(image.scanLine(y));
        std::memcpy(line, data + qsizetype(y) * area.width() * 4, size_t(area.width()) * 4);
        for (int x = 0; x < area.width(); ++x)
            line[x] |= 0xff000000u;
    }
    return image;
}

quint64 DisplayProbe::windowAt(QPoint point) const
{
    return m_desktop->windowAt(point);
}

qint64 DisplayProbe::pidOf(quint64 window) const
{
    const XcbReply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(m_connection,
                               xcb_get_property(m_connection, 0, static_cast<xcb_window_t>(window),
                                                atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 0, 1),
                               nullptr));
    if (!reply || xcb_get_property_value_length(reply.get()) != 4)
        return 0;
    return *static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
}

bool DisplayProbe::isViewable(quint64 window) const
{
    const XcbReply<xcb_get_window_attributes_reply_t> reply(xcb_get_window_attributes_reply(
        m_connection, xcb_get_window_attributes(m_connection, static_cast<xcb_window_t>(window)),
        nullptr));
    return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

QList<quint64> DisplayProbe::windowsOf(qint64 pid) const
{
    QList<quint64> windows;
    for (const TopLevelWindow& window : m_desktop->topLevelWindows()) {
        if (isViewable(window.id) && pidOf(window.id) == pid)
            windows.append(window.id);
    }
    return windows;
}

quint64 DisplayProbe::windowCaptioned(qint64 pid, const QString& caption) const
{
    for (const TopLevelWindow& window : m_desktop->topLevelWindows()) {
        if (window.caption == caption && isViewable(window.id) && pidOf(window.id) == pid)
            return window.id;
    }
    return 0;
}

QRect DisplayProbe::geometry(quint64 window) const
{
    const auto id = static_cast<xcb_window_t>(window);
    const XcbReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, id), nullptr));
    const XcbReply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
        m_connection, xcb_translate_coordinates(m_connection, id, m_desktop->root(), 0, 0),
        nullptr));
    if (!geometry || !origin)
        return {};
    return QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
}

QList<xcb_atom_t> DisplayProbe::atoms(quint64 window, const char* property) const
{
    const XcbReply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(m_connection,
                               xcb_get_property(m_connection, 0, static_cast<xcb_window_t>(window),
                                                atom(property), XCB_ATOM_ATOM, 0, 64),
                               nullptr));
    if (!reply)
        return {};
    const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    return QList<xcb_atom_t>(values, values + xcb_get_property_value_length(reply.get()) / 4);
}

quint64 DisplayProbe::focus() const
{
    const XcbReply<xcb_get_input_focus_reply_t> reply(
        xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    return reply ? reply->focus : 0;
}

bool DisplayProbe::windowManagerRunning() const
{
    const xcb_atom_t check = atom("_NET_SUPPORTING_WM_CHECK");
    const auto checkWindowOf = [&](xcb_window_t window) -> xcb_window_t {
        const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, window, check, XCB_ATOM_WINDOW, 0, 1),
            nullptr));
        if (!reply || xcb_get_property_value_length(reply.get()) != 4)
            return XCB_NONE;
        return *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
    };
    const xcb_window_t checkWindow = checkWindowOf(m_desktop->root());
    return checkWindow != XCB_NONE && checkWindowOf(checkWindow) == checkWindow;
}

void DisplayProbe::xdotool(const QStringList& arguments) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(m_display));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral("xdotool"), arguments);
    process.waitForFinished(10000);
}

void DisplayProbe::click(QPoint point, int button) const
{
    xdotool({"mousemove", QString::number(point.x()), QString::number(point.y()), "click",
             QString::number(button)});
}

void DisplayProbe::move(QPoint point) const
{
    xdotool({"mousemove", QString::number(point.x()), QString::number(point.y())});
}

void DisplayProbe::drag(QPoint from, QPoint to) const
{
    const QPoint middle = (from + to) / 2;
    xdotool({"mousemove", QString::number(from.x()), QString::number(from.y()), "mousedown", "1",
             "mousemove", QString::number(middle.x()), QString::number(middle.y()), "mousemove",
             QString::number(to.x()), QString::number(to.y()), "mouseup", "1"});
}

void DisplayProbe::type(const QString& text) const
{
    // xdotool types a character missing from the keyboard map on a spare key it maps for the
    // moment; the pause gives the program time to read each new map before the key comes.
    xdotool({"type", "--delay", "50", text});
}

void DisplayProbe::key(const QString& keys) const
{
    xdotool({"key", keys});
}
