#include "platform/real/X11TaskKeys.h"
#include "platform/real/XcbReply.h"

#include <cstdlib>
#include <memory>

namespace {

// Keysyms from X11/keysymdef.h.
constexpr xcb_keysym_t Tab = 0xff09;
constexpr xcb_keysym_t Escape = 0xff1b;
constexpr xcb_keysym_t SuperL = 0xffeb;
constexpr xcb_keysym_t SuperR = 0xffec;
constexpr xcb_keysym_t AltL = 0xffe9;
constexpr xcb_keysym_t NumLock = 0xff7f;

// The keyboard's keysym table, to find every keycode that produces a keysym.
class KeyboardMap {
public:
    explicit KeyboardMap(xcb_connection_t* connection)
    {
        const xcb_setup_t* setup = xcb_get_setup(connection);
        m_firstKeycode = setup->min_keycode;
        m_map.reset(xcb_get_keyboard_mapping_reply(
            connection,
            xcb_get_keyboard_mapping(connection, setup->min_keycode,
                                     setup->max_keycode - setup->min_keycode + 1),
            nullptr));
    }

    QList<xcb_keycode_t> keycodes(xcb_keysym_t keysym) const
    {
        QList<xcb_keycode_t> result;
        if (!m_map || m_map->keysyms_per_keycode == 0)
            return result;
        const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(m_map.get());
        const int count = xcb_get_keyboard_mapping_keysyms_length(m_map.get());
        const int perKeycode = m_map->keysyms_per_keycode;
        for (int i = 0; i < count; ++i) {
            const auto keycode = static_cast<xcb_keycode_t>(m_firstKeycode + i / perKeycode);
            if (keysyms[i] == keysym && !result.contains(keycode))
                result.append(keycode);
        }
        return result;
    }

private:
    xcb_keycode_t m_firstKeycode = 0;
    XcbReply<xcb_get_keyboard_mapping_reply_t> m_map;
};

// The modifier bit a key is bound to (Alt and NumLock move between Mod1..Mod5 with the keymap).
uint16_t modifierOf(xcb_connection_t* connection, const QList<xcb_keycode_t>& keys)
{
    const XcbReply<xcb_get_modifier_mapping_reply_t> mapping(
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr));
    if (!mapping)
        return 0;
    const xcb_keycode_t* table = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int perModifier = mapping->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            if (table[modifier * perModifier + i] != 0 &&
                keys.contains(table[modifier * perModifier + i]))
                return static_cast<uint16_t>(1u << modifier);
        }
    }
    return 0;
}

} // namespace

X11TaskKeys::X11TaskKeys(xcb_connection_t* connection, xcb_window_t root)
    : m_connection(connection), m_root(root)
{
}

QList<X11TaskKeys::Grab> X11TaskKeys::combinations() const
{
    const KeyboardMap keyboard(m_connection);
    uint16_t alt = modifierOf(m_connection, keyboard.keycodes(AltL));
    if (alt == 0)
        alt = XCB_MOD_MASK_1;
    const uint16_t numLock = modifierOf(m_connection, keyboard.keycodes(NumLock));

    const struct {
        xcb_keysym_t keysym;
        uint16_t modifiers;
    } chords[] = {
        {Tab, alt},    {Tab, static_cast<uint16_t>(alt | XCB_MOD_MASK_SHIFT)},
        {Escape, alt}, {Escape, XCB_MOD_MASK_CONTROL},
        {SuperL, 0},   {SuperR, 0},
    };
    QList<uint16_t> locks = {0, XCB_MOD_MASK_LOCK};
    if (numLock != 0)
        locks += {numLock, static_cast<uint16_t>(numLock | XCB_MOD_MASK_LOCK)};

    QList<Grab> result;
    for (const auto& chord : chords) {
        for (const xcb_keycode_t keycode : keyboard.keycodes(chord.keysym)) {
            for (const uint16_t lock : locks)
                result.append({keycode, static_cast<uint16_t>(chord.modifiers | lock)});
        }
    }
    return result;
}

int X11TaskKeys::disableTaskKeys(int, int)
{
    if (!m_grabs.isEmpty())
        return 1;
    const QList<Grab> wanted = combinations();
    QList<xcb_void_cookie_t> cookies;
    for (const Grab& grab : wanted) {
        cookies.append(xcb_grab_key_checked(m_connection, 1, m_root, grab.modifiers, grab.keycode,
                                            XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    // A combination another client already grabbed fails with BadAccess; it is not ours to
    // release later.
    for (qsizetype i = 0; i < wanted.size(); ++i) {
        const XcbReply<xcb_generic_error_t> error(xcb_request_check(m_connection, cookies[i]));
        if (!error)
            m_grabs.append(wanted[i]);
    }
    return m_grabs.isEmpty() ? 0 : 1;
}

void X11TaskKeys::release()
{
    if (m_grabs.isEmpty())
        return;
    for (const Grab& grab : m_grabs)
        xcb_ungrab_key(m_connection, grab.keycode, m_root, grab.modifiers);
    m_grabs.clear();
    // A round trip, so the keys are free for other clients when this returns.
    const XcbReply<xcb_get_input_focus_reply_t> sync(
        xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}
