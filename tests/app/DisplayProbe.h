#pragma once

#include "platform/real/X11Desktop.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QStringList>

#include <xcb/xcb.h>

#include <memory>

// A test's view of an X display through a connection of its own, as another program sees the
// screen: what shows where, which windows a process has mapped and with which states, and
// presses and drags made the way a user makes them (xdotool, through the server).
class DisplayProbe {
public:
    explicit DisplayProbe(const QByteArray& display);
    ~DisplayProbe();
    DisplayProbe(const DisplayProbe&) = delete;
    DisplayProbe& operator=(const DisplayProbe&) = delete;

    bool isOpen() const { return m_desktop != nullptr; }
    const QByteArray& display() const { return m_display; }
    xcb_connection_t* connection() const { return m_connection; }
    X11Desktop& desktop() const { return *m_desktop; }
    xcb_atom_t atom(const char* name) const;

    // The colour the screen shows at a point.
    QColor pixel(QPoint point) const;
    // What the screen shows in an area, as an RGB32 image; null when it cannot be read.
    QImage grab(const QRect& area) const;
    // The topmost window at a point, a framed window's client standing for its frame.
    quint64 windowAt(QPoint point) const;
    // The viewable top-level windows of a process, topmost first.
    QList<quint64> windowsOf(qint64 pid) const;
    // A viewable window of the process with this caption, 0 when there is none.
    quint64 windowCaptioned(qint64 pid, const QString& caption) const;
    // Where a window lies on the screen.
    QRect geometry(quint64 window) const;
    QList<xcb_atom_t> atoms(quint64 window, const char* property) const;
    // The window that has the keyboard focus: what typed keys reach.
    quint64 focus() const;
    bool windowManagerRunning() const;

    void click(QPoint point, int button = 1) const;
    // The pointer comes to rest there, without a press.
    void move(QPoint point) const;
    void drag(QPoint from, QPoint to) const;
    // Text typed on the keyboard, a key at a time, into the window that has the focus.
    void type(const QString& text) const;
    // Keys pressed together, in xdotool's names: "Escape", "alt+h".
    void key(const QString& keys) const;

private:
    void xdotool(const QStringList& arguments) const;
    qint64 pidOf(quint64 window) const;
    bool isViewable(quint64 window) const;

    QByteArray m_display;
    xcb_connection_t* m_connection = nullptr;
    std::unique_ptr<X11Desktop> m_desktop;
};
