// X11TaskKeys against Xvfb: while the block holds, another X client cannot grab the blocked
// combinations (the server answers BadAccess), and after release it can.

#include "platform/real/X11TaskKeys.h"

#include <QGuiApplication>
#include <QtTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

// Keysyms from X11/keysymdef.h and the modifier bits of Xvfb's default keymap.
constexpr xcb_keysym_t Tab = 0xff09;
constexpr xcb_keysym_t Escape = 0xff1b;
constexpr xcb_keysym_t F4 = 0xffc1;
constexpr xcb_keysym_t SuperL = 0xffeb;
constexpr xcb_keysym_t SuperR = 0xffec;
constexpr uint16_t Alt = XCB_MOD_MASK_1;
constexpr uint16_t NumLock = XCB_MOD_MASK_2;
constexpr uint16_t CapsLock = XCB_MOD_MASK_LOCK;
constexpr uint16_t Shift = XCB_MOD_MASK_SHIFT;
constexpr uint16_t Control = XCB_MOD_MASK_CONTROL;

} // namespace

class X11TaskKeysTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void blocksCombinationUntilRelease_data();
    void blocksCombinationUntilRelease();
    void leavesOtherCombinationsFree_data();
    void leavesOtherCombinationsFree();
    void secondDisableGrabsNothingMore();

private:
    // The error code another client gets when it grabs the combination (0: the grab succeeded,
    // and is given back at once).
    uint8_t otherClientGrab(xcb_keysym_t keysym, uint16_t modifiers);

    xcb_connection_t* m_other = nullptr;
    xcb_window_t m_root = XCB_NONE;
    std::unique_ptr<X11TaskKeys> m_keys;
};

void X11TaskKeysTest::initTestCase()
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    QVERIFY(x11);
    xcb_connection_t* connection = x11->connection();
    m_root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    m_keys = std::make_unique<X11TaskKeys>(connection, m_root);
    m_other = xcb_connect(nullptr, nullptr);
    QVERIFY(!xcb_connection_has_error(m_other));
}

void X11TaskKeysTest::cleanupTestCase()
{
    m_keys.reset();
    xcb_disconnect(m_other);
}

void X11TaskKeysTest::cleanup()
{
    m_keys->release();
}

uint8_t X11TaskKeysTest::otherClientGrab(xcb_keysym_t keysym, uint16_t modifiers)
{
    const xcb_setup_t* setup = xcb_get_setup(m_other);
    const Reply<xcb_get_keyboard_mapping_reply_t> map(xcb_get_keyboard_mapping_reply(
        m_other,
        xcb_get_keyboard_mapping(m_other, setup->min_keycode,
                                 setup->max_keycode - setup->min_keycode + 1),
        nullptr));
    if (!map)
        return 0xff;
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(map.get());
    xcb_keycode_t keycode = 0;
    for (int code = setup->min_keycode; code <= setup->max_keycode && keycode == 0; ++code) {
        if (keysyms[(code - setup->min_keycode) * map->keysyms_per_keycode] == keysym)
            keycode = static_cast<xcb_keycode_t>(code);
    }
    if (keycode == 0)
        return 0xff;
    const Reply<xcb_generic_error_t> error(
        xcb_request_check(m_other, xcb_grab_key_checked(m_other, 1, m_root, modifiers, keycode,
                                                        XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)));
    if (error)
        return error->error_code;
    const Reply<xcb_generic_error_t> ungrab(
        xcb_request_check(m_other, xcb_ungrab_key_checked(m_other, keycode, m_root, modifiers)));
    return 0;
}

void X11TaskKeysTest::blocksCombinationUntilRelease_data()
{
    QTest::addColumn<uint>("keysym");
    QTest::addColumn<uint>("modifiers");

    QTest::newRow("Alt+Tab") << uint(Tab) << uint(Alt);
    QTest::newRow("Alt+Shift+Tab") << uint(Tab) << uint(Alt | Shift);
    QTest::newRow("Alt+Escape") << uint(Escape) << uint(Alt);
    QTest::newRow("Ctrl+Escape") << uint(Escape) << uint(Control);
    QTest::newRow("Super_L") << uint(SuperL) << 0u;
    QTest::newRow("Super_R") << uint(SuperR) << 0u;
    QTest::newRow("Alt+Tab with NumLock on") << uint(Tab) << uint(Alt | NumLock);
    QTest::newRow("Ctrl+Escape with CapsLock on") << uint(Escape) << uint(Control | CapsLock);
    QTest::newRow("Alt+Shift+Tab with both locks on")
        << uint(Tab) << uint(Alt | Shift | NumLock | CapsLock);
    QTest::newRow("Super_R with both locks on") << uint(SuperR) << uint(NumLock | CapsLock);
}

void X11TaskKeysTest::blocksCombinationUntilRelease()
{
    QFETCH(uint, keysym);
    QFETCH(uint, modifiers);

    QCOMPARE(otherClientGrab(keysym, modifiers), 0);
    QCOMPARE(m_keys->disableTaskKeys(1, 23), 1);
    QCOMPARE(otherClientGrab(keysym, modifiers), XCB_ACCESS);
    m_keys->release();
    QCOMPARE(otherClientGrab(keysym, modifiers), 0);
}

void X11TaskKeysTest::leavesOtherCombinationsFree_data()
{
    QTest::addColumn<uint>("keysym");
    QTest::addColumn<uint>("modifiers");

    QTest::newRow("Tab alone") << uint(Tab) << 0u;
    QTest::newRow("Ctrl+Tab") << uint(Tab) << uint(Control);
    QTest::newRow("Escape alone") << uint(Escape) << 0u;
    QTest::newRow("Alt+F4") << uint(F4) << uint(Alt);
    QTest::newRow("Shift+Super_L") << uint(SuperL) << uint(Shift);
}

void X11TaskKeysTest::leavesOtherCombinationsFree()
{
    QFETCH(uint, keysym);
    QFETCH(uint, modifiers);

    QCOMPARE(m_keys->disableTaskKeys(1, 23), 1);
    QCOMPARE(otherClientGrab(keysym, modifiers), 0);
}

void X11TaskKeysTest::secondDisableGrabsNothingMore()
{
    QCOMPARE(m_keys->disableTaskKeys(1, 23), 1);
    QCOMPARE(m_keys->disableTaskKeys(1, 23), 1);
    QCOMPARE(otherClientGrab(Tab, Alt), XCB_ACCESS);
    // One release frees everything, and a second one is harmless.
    m_keys->release();
    QCOMPARE(otherClientGrab(Tab, Alt), 0);
    QCOMPARE(otherClientGrab(SuperL, 0), 0);
    m_keys->release();
    QCOMPARE(m_keys->disableTaskKeys(1, 23), 1);
    QCOMPARE(otherClientGrab(Tab, Alt), XCB_ACCESS);
}

QTEST_MAIN(X11TaskKeysTest)
#include "X11TaskKeysTest.moc"
