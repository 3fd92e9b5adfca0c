#pragma once

#include "platform/TaskKeys.h"

#include <QList>

#include <xcb/xcb.h>

// The task-key block on X11: passive key grabs on the root window for the combinations a desktop
// uses to switch tasks (Alt+Tab, Alt+Shift+Tab, Alt+Escape, Ctrl+Escape and the two Super keys),
// each also with NumLock and CapsLock on, since X matches grabs on the exact modifier state.
// While the program holds a grab no other client receives that combination. Works on the
// program's own X connection; the server drops the grabs by itself when the connection closes.
class X11TaskKeys final : public TaskKeys {
public:
    X11TaskKeys(xcb_connection_t* connection, xcb_window_t root);

    // The arguments carry nothing on X11. 1 while the program holds grabs, 0 when every
    // combination was already grabbed by another client (a window manager, say). A second call
    // while grabs are held grabs nothing more.
    int disableTaskKeys(int enable, int keys) override;
    // Ungrabs exactly what disableTaskKeys grabbed and waits until the server has done so.
    void release() override;

private:
    struct Grab {
        xcb_keycode_t keycode;
        uint16_t modifiers;
    };
    QList<Grab> combinations() const;

    xcb_connection_t* m_connection;
    xcb_window_t m_root;
    QList<Grab> m_grabs;
};
