// X11Desktop against a real X server (Xvfb, no window manager): the program's own Qt windows,
// windows made here with raw xcb calls to stand for other programs, and one real other program.

#include "platform/real/X11Desktop.h"
#include "platform/real/DirectoryRegistry.h"
#include "platform/real/Platform.h"
#include "platform/real/ProcessLauncher.h"
#include "platform/real/QtPrompter.h"
#include "platform/real/X11TaskKeys.h"

#include <QCloseEvent>
#include <QProcess>
#include <QStandardPaths>
#include <QWidget>
#include <QWindow>
#include <QtTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

xcb_connection_t* qtConnection()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
        nullptr));
    return reply ? reply->atom : XCB_NONE;
}

// Client messages to the root window, seen from a second connection as a window manager sees
// them. Events are never read on Qt's connection: Qt's own reader would lose them.
class RootListener {
public:
    RootListener() : m_connection(xcb_connect(nullptr, nullptr))
    {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, root, XCB_CW_EVENT_MASK, &mask);
        const Reply<xcb_get_input_focus_reply_t> sync(
            xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    }
    ~RootListener() { xcb_disconnect(m_connection); }
    RootListener(const RootListener&) = delete;
    RootListener& operator=(const RootListener&) = delete;

    QList<xcb_client_message_event_t> messages(xcb_atom_t type, xcb_window_t window)
    {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE)
                m_received.append(*reinterpret_cast<xcb_client_message_event_t*>(event));
            std::free(event);
        }
        QList<xcb_client_message_event_t> matching;
        for (const xcb_client_message_event_t& message : m_received) {
            if (message.type == type && message.window == window)
                matching.append(message);
        }
        return matching;
    }

private:
    xcb_connection_t* m_connection;
    QList<xcb_client_message_event_t> m_received;
};

class ClosingWidget : public QWidget {
public:
    int closeEvents = 0;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        ++closeEvents;
        QWidget::closeEvent(event);
    }
};

} // namespace

class X11DesktopTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();

    void picksX11Services();
    void walkFindsOwnWindowsMappedOrNot();
    void walkReadsCaptions_data();
    void walkReadsCaptions();
    void walkLetsClientStandForFrame_data();
    void walkLetsClientStandForFrame();
    void walkIsTopmostFirstAndBringToFrontRaises();
    void requestCloseReachesQtWindow_data();
    void requestCloseReachesQtWindow();
    void requestCloseWithoutDeleteProtocolAsksWindowManager();
    void requestCloseClosesAnotherProgram();
    void windowAt_data();
    void windowAt();
    void colourDepthCannotBeSwitched();
    void taskbarHideAndShowMapsDocksOnly();
    void keepOffTaskbarStateSurvivesShow();
    void keptOnTopEditsStateOfUnmappedWindow();
    void keptOnTopAsksWindowManagerForMappedWindow();
    void keptOnTopRestacksUnmanagedWindow();
    void fullScreenStateBeforeAndAfterShow();
    void activate_data();
    void activate();
    void movePointer_data();
    void movePointer();
    void grabScreenShowsWindows();
    void grabScreenLeavesOutTheWindow_data();
    void grabScreenLeavesOutTheWindow();
    void taskbarHidesDockInFrame();

private:
    xcb_window_t createWindow(QRect rect, bool mapped, xcb_window_t parent = XCB_NONE,
                              uint16_t windowClass = XCB_WINDOW_CLASS_INPUT_OUTPUT);
    void setProperty(xcb_window_t window, const char* property, const char* type,
                     const QByteArray& value);
    void setWmState(xcb_window_t window);
    QList<xcb_atom_t> atoms(xcb_window_t window, const char* property);
    uint8_t mapState(xcb_window_t window);
    QRect geometry(xcb_window_t window);
    qsizetype walkIndex(quint64 window);
    xcb_window_t parentOf(xcb_window_t window);
    // Starts picom with these arguments (stops it for none), once it runs with other ones.
    void startCompositor(const QStringList& arguments);
    void stopCompositor();
    bool compositorRuns();
    xcb_atom_t atom(const char* name) { return ::atom(m_connection, name); }

    xcb_connection_t* m_connection = nullptr;
    Platform m_platform;
    X11Desktop* m_desktop = nullptr;
    QList<xcb_window_t> m_rawWindows;
    QProcess m_windowManager;
    QProcess m_compositor;
};

void X11DesktopTest::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    m_connection = qtConnection();
    m_platform = Platform::forThisDesktop(QCoreApplication::applicationDirPath());
    m_desktop = dynamic_cast<X11Desktop*>(m_platform.desktop.get());
    QVERIFY(m_desktop);
}

void X11DesktopTest::cleanup()
{
    for (const xcb_window_t window : std::as_const(m_rawWindows))
        xcb_destroy_window(m_connection, window);
    m_rawWindows.clear();
    xcb_flush(m_connection);
}

void X11DesktopTest::cleanupTestCase()
{
    stopCompositor();
    if (m_windowManager.state() != QProcess::NotRunning) {
        m_windowManager.terminate();
        m_windowManager.waitForFinished();
    }
}

xcb_window_t X11DesktopTest::createWindow(QRect rect, bool mapped, xcb_window_t parent,
                                          uint16_t windowClass)
{
    const xcb_window_t window = xcb_generate_id(m_connection);
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window,
                      parent == XCB_NONE ? m_desktop->root() : parent, rect.x(), rect.y(),
                      rect.width(), rect.height(), 0, windowClass, XCB_COPY_FROM_PARENT, 0,
                      nullptr);
    if (mapped)
        xcb_map_window(m_connection, window);
    if (parent == XCB_NONE)
        m_rawWindows.append(window);
    return window;
}

void X11DesktopTest::setProperty(xcb_window_t window, const char* property, const char* type,
                                 const QByteArray& value)
{
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom(property), atom(type), 8,
                        value.size(), value.constData());
}

void X11DesktopTest::setWmState(xcb_window_t window)
{
    const uint32_t normalState[] = {1, XCB_NONE};
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom("WM_STATE"),
                        atom("WM_STATE"), 32, 2, normalState);
}

QList<xcb_atom_t> X11DesktopTest::atoms(xcb_window_t window, const char* property)
{
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        m_connection,
        xcb_get_property(m_connection, 0, window, atom(property), XCB_ATOM_ATOM, 0, 64), nullptr));
    if (!reply)
        return {};
    const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    return QList<xcb_atom_t>(values, values + xcb_get_property_value_length(reply.get()) / 4);
}

uint8_t X11DesktopTest::mapState(xcb_window_t window)
{
    const Reply<xcb_get_window_attributes_reply_t> reply(xcb_get_window_attributes_reply(
        m_connection, xcb_get_window_attributes(m_connection, window), nullptr));
    return reply ? reply->map_state : 0xff;
}

QRect X11DesktopTest::geometry(xcb_window_t window)
{
    const Reply<xcb_get_geometry_reply_t> reply(
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr));
    return reply ? QRect(reply->x, reply->y, reply->width, reply->height) : QRect();
}

qsizetype X11DesktopTest::walkIndex(quint64 window)
{
    const QList<TopLevelWindow> windows = m_desktop->topLevelWindows();
    for (qsizetype i = 0; i < windows.size(); ++i) {
        if (windows[i].id == window)
            return i;
    }
    return -1;
}

void X11DesktopTest::picksX11Services()
{
    QVERIFY(dynamic_cast<X11TaskKeys*>(m_platform.taskKeys.get()));
    QVERIFY(dynamic_cast<DirectoryRegistry*>(m_platform.registry.get()));
    QVERIFY(dynamic_cast<ProcessLauncher*>(m_platform.launcher.get()));
    QVERIFY(dynamic_cast<QtPrompter*>(m_platform.prompter.get()));
}

void X11DesktopTest::walkFindsOwnWindowsMappedOrNot()
{
    // The hidden application window: created, never shown, and walked at once with no event
    // loop turn in between.
    QWindow hidden;
    hidden.setTitle(QStringLiteral("Z_Kalto"));
    hidden.create();
    QWindow board;
    board.setTitle(QStringLiteral("白板"));
    board.setGeometry(10, 10, 100, 80);
    board.show();

    const QList<TopLevelWindow> windows = m_desktop->topLevelWindows();
    const auto find = [&](const QWindow& window) {
        return std::find_if(windows.begin(), windows.end(), [&](const TopLevelWindow& entry) {
            return entry.id == window.winId();
        });
    };
    QVERIFY(find(hidden) != windows.end());
    QCOMPARE(find(hidden)->caption, QStringLiteral("Z_Kalto"));
    QCOMPARE(mapState(hidden.winId()), XCB_MAP_STATE_UNMAPPED);
    QVERIFY(find(board) != windows.end());
    QCOMPARE(find(board)->caption, QStringLiteral("白板"));
    // Qt says which process owns its windows.
    QCOMPARE(find(board)->processId, QCoreApplication::applicationPid());
}

void X11DesktopTest::walkReadsCaptions_data()
{
    QTest::addColumn<QByteArray>("netWmName");
    QTest::addColumn<QByteArray>("wmName");
    QTest::addColumn<QByteArray>("wmNameType");
    QTest::addColumn<QString>("caption");

    QTest::newRow("_NET_WM_NAME in UTF-8")
        << QByteArray("白板") << QByteArray() << QByteArray() << QStringLiteral("白板");
    QTest::newRow("_NET_WM_NAME before WM_NAME") << QByteArray("白板") << QByteArray("Board")
                                                 << QByteArray("STRING") << QStringLiteral("白板");
    QTest::newRow("WM_NAME in Latin-1")
        << QByteArray() << QByteArray("Caf\xe9") << QByteArray("STRING") << QStringLiteral("Café");
    QTest::newRow("WM_NAME typed UTF8_STRING")
        << QByteArray() << QByteArray("导入图片") << QByteArray("UTF8_STRING")
        << QStringLiteral("导入图片");
    QTest::newRow("empty _NET_WM_NAME falls back to WM_NAME")
        << QByteArray("") << QByteArray("Z_Kalto") << QByteArray("STRING")
        << QStringLiteral("Z_Kalto");
    QTest::newRow("terminating NUL dropped")
        << QByteArray() << QByteArray("%*Y\0", 4) << QByteArray("STRING") << QStringLiteral("%*Y");
    QTest::newRow("no name") << QByteArray() << QByteArray() << QByteArray() << QString();
}

void X11DesktopTest::walkReadsCaptions()
{
    QFETCH(QByteArray, netWmName);
    QFETCH(QByteArray, wmName);
    QFETCH(QByteArray, wmNameType);
    QFETCH(QString, caption);

    const xcb_window_t window = createWindow({0, 0, 50, 50}, false);
    if (!netWmName.isNull())
        setProperty(window, "_NET_WM_NAME", "UTF8_STRING", netWmName);
    if (!wmName.isNull())
        setProperty(window, "WM_NAME", wmNameType.constData(), wmName);

    const QList<TopLevelWindow> windows = m_desktop->topLevelWindows();
    const qsizetype index = walkIndex(window);
    QVERIFY(index >= 0);
    QCOMPARE(windows[index].caption, caption);
}

void X11DesktopTest::walkLetsClientStandForFrame_data()
{
    QTest::addColumn<QByteArray>("frameName");
    QTest::addColumn<QByteArray>("clientName");
    QTest::addColumn<bool>("clientHasWmState");
    QTest::addColumn<bool>("clientStands");
    QTest::addColumn<QString>("caption");

    QTest::newRow("client with WM_STATE and a name")
        << QByteArray() << QByteArray("白板") << true << true << QStringLiteral("白板");
    QTest::newRow("named client without WM_STATE")
        << QByteArray() << QByteArray("Z_Kalto") << false << true << QStringLiteral("Z_Kalto");
    QTest::newRow("nameless client with WM_STATE")
        << QByteArray() << QByteArray() << true << true << QString();
    QTest::newRow("plain child is no client")
        << QByteArray() << QByteArray() << false << false << QString();
    QTest::newRow("named frame stands for itself")
        << QByteArray("Frame") << QByteArray("Client") << true << false << QStringLiteral("Frame");
}

void X11DesktopTest::walkLetsClientStandForFrame()
{
    QFETCH(QByteArray, frameName);
    QFETCH(QByteArray, clientName);
    QFETCH(bool, clientHasWmState);
    QFETCH(bool, clientStands);
    QFETCH(QString, caption);

    const xcb_window_t below = createWindow({0, 0, 50, 50}, true);
    const xcb_window_t frame = createWindow({0, 0, 120, 100}, true);
    const xcb_window_t above = createWindow({0, 0, 50, 50}, true);
    const xcb_window_t client = createWindow({4, 20, 112, 76}, true, frame);
    if (!frameName.isNull())
        setProperty(frame, "_NET_WM_NAME", "UTF8_STRING", frameName);
    if (!clientName.isNull())
        setProperty(client, "_NET_WM_NAME", "UTF8_STRING", clientName);
    if (clientHasWmState)
        setWmState(client);
    const uint32_t framePid = 1111;
    const uint32_t clientPid = 4242;
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, frame, atom("_NET_WM_PID"),
                        XCB_ATOM_CARDINAL, 32, 1, &framePid);
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, client, atom("_NET_WM_PID"),
                        XCB_ATOM_CARDINAL, 32, 1, &clientPid);

    const QList<TopLevelWindow> windows = m_desktop->topLevelWindows();
    const qsizetype index = walkIndex(clientStands ? client : frame);
    QVERIFY(index >= 0);
    QCOMPARE(windows[index].caption, caption);
    QCOMPARE(windows[index].processId, qint64(clientStands ? clientPid : framePid));
    // The entry keeps the frame's place in the stacking order, and only one of the two is listed.
    QCOMPARE(windows[index - 1].id, quint64(above));
    QCOMPARE(windows[index + 1].id, quint64(below));
    QCOMPARE(walkIndex(clientStands ? frame : client), -1);
}

void X11DesktopTest::walkIsTopmostFirstAndBringToFrontRaises()
{
    // New windows go on top of their siblings.
    const xcb_window_t first = createWindow({0, 0, 50, 50}, false);
    const xcb_window_t second = createWindow({0, 0, 50, 50}, true);
    const xcb_window_t third = createWindow({0, 0, 50, 50}, false);
    QVERIFY(walkIndex(third) < walkIndex(second));
    QVERIFY(walkIndex(second) < walkIndex(first));

    m_desktop->bringToFront(first);
    QCOMPARE(walkIndex(first), 0);
    QVERIFY(walkIndex(third) < walkIndex(second));
}

void X11DesktopTest::requestCloseReachesQtWindow_data()
{
    QTest::addColumn<bool>("shown");
    QTest::newRow("shown") << true;
    QTest::newRow("created only") << false;
}

void X11DesktopTest::requestCloseReachesQtWindow()
{
    QFETCH(bool, shown);
    ClosingWidget widget;
    widget.setWindowTitle(QStringLiteral("导入图片"));
    if (shown) {
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
    } else {
        widget.winId();
    }
    m_desktop->requestClose(widget.winId());
    QTRY_COMPARE(widget.closeEvents, 1);
}

void X11DesktopTest::requestCloseWithoutDeleteProtocolAsksWindowManager()
{
    RootListener windowManager;
    const xcb_window_t window = createWindow({0, 0, 50, 50}, true);
    setProperty(window, "WM_NAME", "STRING", "%*Y");

    m_desktop->requestClose(window);
    QTRY_COMPARE(windowManager.messages(atom("_NET_CLOSE_WINDOW"), window).size(), 1);
    QCOMPARE(mapState(window), XCB_MAP_STATE_VIEWABLE);
}

void X11DesktopTest::requestCloseClosesAnotherProgram()
{
    const QString xmessage = QStandardPaths::findExecutable(QStringLiteral("xmessage"));
    if (xmessage.isEmpty())
        QSKIP("xmessage (x11-utils) is not installed");
    QProcess other;
    other.start(xmessage, {QStringLiteral("-title"), QStringLiteral("vTouchWatch"),
                           QStringLiteral("another program")});
    QVERIFY(other.waitForStarted());

    const auto findOther = [this] {
        for (const TopLevelWindow& window : m_desktop->topLevelWindows()) {
            if (window.caption == QLatin1String("vTouchWatch"))
                return window.id;
        }
        return quint64(0);
    };
    QTRY_VERIFY_WITH_TIMEOUT(findOther() != 0, 10000);
    m_desktop->requestClose(findOther());
    QTRY_COMPARE_WITH_TIMEOUT(other.state(), QProcess::NotRunning, 10000);
}

void X11DesktopTest::windowAt_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QString>("window");

    QTest::newRow("inside the lower window only") << QPoint(150, 120) << QStringLiteral("lower");
    QTest::newRow("overlap goes to the upper window")
        << QPoint(250, 200) << QStringLiteral("upper");
    QTest::newRow("last pixel of the lower window") << QPoint(399, 299) << QStringLiteral("lower");
    QTest::newRow("just right of the lower window") << QPoint(400, 120) << QString();
    QTest::newRow("frame gives its client") << QPoint(550, 450) << QStringLiteral("client");
    QTest::newRow("nothing mapped there") << QPoint(900, 700) << QString();
}

void X11DesktopTest::windowAt()
{
    QFETCH(QPoint, point);
    QFETCH(QString, window);

    QHash<QString, xcb_window_t> windows;
    windows.insert(QStringLiteral("lower"), createWindow({100, 100, 300, 200}, true));
    windows.insert(QStringLiteral("upper"), createWindow({200, 150, 100, 100}, true));
    const xcb_window_t frame = createWindow({500, 400, 200, 100}, true);
    const xcb_window_t client = createWindow({0, 20, 200, 80}, true, frame);
    setWmState(client);
    windows.insert(QStringLiteral("client"), client);
    // On top of everything, neither of these is under any point: one is not mapped, the other
    // shows nothing.
    createWindow({0, 0, 1024, 768}, false);
    createWindow({0, 0, 1024, 768}, true, XCB_NONE, XCB_WINDOW_CLASS_INPUT_ONLY);

    QCOMPARE(m_desktop->windowAt(point), quint64(windows.value(window, 0)));
}

void X11DesktopTest::colourDepthCannotBeSwitched()
{
    QCOMPARE(m_desktop->colourDepth(), 24);
    QVERIFY(!m_desktop->switchColourDepth(16));
    QVERIFY(!m_desktop->switchColourDepth(24));
    QCOMPARE(m_desktop->colourDepth(), 24);
    QCOMPARE(QGuiApplication::primaryScreen()->depth(), 24);
}

void X11DesktopTest::taskbarHideAndShowMapsDocksOnly()
{
    const xcb_window_t dock = createWindow({0, 728, 1024, 40}, true);
    const uint32_t dockType[] = {atom("_NET_WM_WINDOW_TYPE_DOCK")};
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, dock, atom("_NET_WM_WINDOW_TYPE"),
                        XCB_ATOM_ATOM, 32, 1, dockType);
    const xcb_window_t shownNormal = createWindow({0, 0, 100, 100}, true);
    const xcb_window_t hiddenNormal = createWindow({0, 0, 100, 100}, false);
    const uint32_t normalType[] = {atom("_NET_WM_WINDOW_TYPE_NORMAL")};
    for (const xcb_window_t window : {shownNormal, hiddenNormal})
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window,
                            atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1, normalType);

    m_desktop->setTaskbarVisible(false);
    QCOMPARE(mapState(dock), XCB_MAP_STATE_UNMAPPED);
    QCOMPARE(mapState(shownNormal), XCB_MAP_STATE_VIEWABLE);

    m_desktop->setTaskbarVisible(true);
    QCOMPARE(mapState(dock), XCB_MAP_STATE_VIEWABLE);
    QCOMPARE(mapState(hiddenNormal), XCB_MAP_STATE_UNMAPPED);
}

void X11DesktopTest::keepOffTaskbarStateSurvivesShow()
{
    QWindow window;
    window.setGeometry(20, 20, 60, 40);
    window.create();
    m_desktop->keepOffTaskbar(&window);
    const auto checkOffTaskbar = [&] {
        const QList<xcb_atom_t> state = atoms(window.winId(), "_NET_WM_STATE");
        QVERIFY(state.contains(atom("_NET_WM_STATE_SKIP_TASKBAR")));
        QVERIFY(state.contains(atom("_NET_WM_STATE_SKIP_PAGER")));
        const QList<xcb_atom_t> types = atoms(window.winId(), "_NET_WM_WINDOW_TYPE");
        QVERIFY(!types.isEmpty());
        QCOMPARE(types.constFirst(), atom("_NET_WM_WINDOW_TYPE_UTILITY"));
    };
    checkOffTaskbar();
    if (QTest::currentTestFailed())
        return;

    // Qt writes its own state and type when it maps the window; ours must still be there.
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    checkOffTaskbar();
}

void X11DesktopTest::keptOnTopEditsStateOfUnmappedWindow()
{
    QWindow window;
    window.setGeometry(20, 20, 60, 40);
    window.create();
    m_desktop->keepOffTaskbar(&window);

    m_desktop->setKeptOnTop(&window, true);
    QList<xcb_atom_t> state = atoms(window.winId(), "_NET_WM_STATE");
    QVERIFY(state.contains(atom("_NET_WM_STATE_ABOVE")));
    QVERIFY(state.contains(atom("_NET_WM_STATE_SKIP_TASKBAR")));
    QCOMPARE(mapState(window.winId()), XCB_MAP_STATE_UNMAPPED);

    m_desktop->setKeptOnTop(&window, false);
    state = atoms(window.winId(), "_NET_WM_STATE");
    QVERIFY(!state.contains(atom("_NET_WM_STATE_ABOVE")));
    QVERIFY(state.contains(atom("_NET_WM_STATE_SKIP_TASKBAR")));
    QVERIFY(state.contains(atom("_NET_WM_STATE_SKIP_PAGER")));
}

void X11DesktopTest::keptOnTopAsksWindowManagerForMappedWindow()
{
    RootListener windowManager;
    QWindow toolbar;
    toolbar.setGeometry(588, 0, 343, 40);
    toolbar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&toolbar));
    QWindow other;
    other.setGeometry(500, 0, 300, 300);
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    const xcb_window_t id = toolbar.winId();
    const QRect before = geometry(id);
    QVERIFY(walkIndex(other.winId()) < walkIndex(id));

    m_desktop->setKeptOnTop(&toolbar, true);
    QTRY_COMPARE(windowManager.messages(atom("_NET_WM_STATE"), id).size(), 1);
    xcb_client_message_event_t message = windowManager.messages(atom("_NET_WM_STATE"), id).last();
    QCOMPARE(message.data.data32[0], 1u); // add
    QCOMPARE(message.data.data32[1], atom("_NET_WM_STATE_ABOVE"));
    QVERIFY(walkIndex(id) < walkIndex(other.winId()));
    QCOMPARE(geometry(id), before);

    other.raise();
    m_desktop->setKeptOnTop(&toolbar, false);
    QTRY_COMPARE(windowManager.messages(atom("_NET_WM_STATE"), id).size(), 2);
    message = windowManager.messages(atom("_NET_WM_STATE"), id).last();
    QCOMPARE(message.data.data32[0], 0u); // remove
    QCOMPARE(message.data.data32[1], atom("_NET_WM_STATE_ABOVE"));
    QVERIFY(walkIndex(other.winId()) < walkIndex(id));
    QCOMPARE(geometry(id), before);
}

void X11DesktopTest::keptOnTopRestacksUnmanagedWindow()
{
    RootListener windowManager;
    QWindow toolbar;
    toolbar.setFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::BypassWindowManagerHint);
    toolbar.setGeometry(588, 0, 343, 40);
    toolbar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&toolbar));
    const xcb_window_t other = createWindow({0, 0, 1024, 768}, true);
    const xcb_window_t id = toolbar.winId();
    QCOMPARE(walkIndex(other), 0);

    // No window manager handles it: the window itself goes over everything and beneath it all.
    m_desktop->setKeptOnTop(&toolbar, true);
    QCOMPARE(walkIndex(id), 0);
    m_desktop->setKeptOnTop(&toolbar, false);
    QCOMPARE(walkIndex(id), m_desktop->topLevelWindows().size() - 1);
    QCOMPARE(windowManager.messages(atom("_NET_WM_STATE"), id).size(), 0);
}

void X11DesktopTest::fullScreenStateBeforeAndAfterShow()
{
    RootListener windowManager;
    QWindow board;
    board.setGeometry(0, 0, 1024, 768);
    board.create();
    m_desktop->keepOffTaskbar(&board);
    m_desktop->setFullScreen(&board);
    const QList<xcb_atom_t> state = atoms(board.winId(), "_NET_WM_STATE");
    QVERIFY(state.contains(atom("_NET_WM_STATE_FULLSCREEN")));
    QVERIFY(state.contains(atom("_NET_WM_STATE_SKIP_TASKBAR")));

    board.show();
    QVERIFY(QTest::qWaitForWindowExposed(&board));
    QVERIFY(atoms(board.winId(), "_NET_WM_STATE").contains(atom("_NET_WM_STATE_FULLSCREEN")));
    m_desktop->setFullScreen(&board);
    QTRY_COMPARE(windowManager.messages(atom("_NET_WM_STATE"), board.winId()).size(), 1);
    const xcb_client_message_event_t message =
        windowManager.messages(atom("_NET_WM_STATE"), board.winId()).last();
    QCOMPARE(message.data.data32[0], 1u); // add
    QCOMPARE(message.data.data32[1], atom("_NET_WM_STATE_FULLSCREEN"));
}

void X11DesktopTest::activate_data()
{
    QTest::addColumn<bool>("windowManager");
    QTest::newRow("window manager asked") << true;
    QTest::newRow("no window manager: focus set") << false;
}

void X11DesktopTest::activate()
{
    QFETCH(bool, windowManager);
    RootListener listener;
    const xcb_window_t root = m_desktop->root();
    const xcb_atom_t check = atom("_NET_SUPPORTING_WM_CHECK");
    if (windowManager) {
        // What an EWMH window manager announces: a check window that names itself.
        const xcb_window_t checkWindow = createWindow({-10, -10, 1, 1}, false);
        for (const xcb_window_t window : {root, checkWindow})
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, check, XCB_ATOM_WINDOW,
                                32, 1, &checkWindow);
    }
    QWindow board;
    board.setGeometry(0, 0, 1024, 768);
    board.show();
    QVERIFY(QTest::qWaitForWindowExposed(&board));
    const xcb_window_t other = createWindow({0, 0, 1024, 768}, true);
    QCOMPARE(walkIndex(other), 0);

    m_desktop->activate(&board);
    if (windowManager) {
        QTRY_COMPARE(listener.messages(atom("_NET_ACTIVE_WINDOW"), board.winId()).size(), 1);
        const xcb_client_message_event_t message =
            listener.messages(atom("_NET_ACTIVE_WINDOW"), board.winId()).last();
        QCOMPARE(message.data.data32[0], 2u); // asked for by the user, as a pager asks
        xcb_delete_property(m_connection, root, check);
    } else {
        const Reply<xcb_get_input_focus_reply_t> focus(
            xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
        QVERIFY(focus);
        QCOMPARE(focus->focus, xcb_window_t(board.winId()));
        QCOMPARE(listener.messages(atom("_NET_ACTIVE_WINDOW"), board.winId()).size(), 0);
    }
    QCOMPARE(walkIndex(board.winId()), 0);
}

void X11DesktopTest::movePointer_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::newRow("inside") << QPoint(321, 234);
    QTest::newRow("top left corner") << QPoint(0, 0);
    QTest::newRow("bottom right corner") << QPoint(1023, 767);
}

void X11DesktopTest::movePointer()
{
    QFETCH(QPoint, point);
    m_desktop->movePointer(point);
    const Reply<xcb_query_pointer_reply_t> pointer(xcb_query_pointer_reply(
        m_connection, xcb_query_pointer(m_connection, m_desktop->root()), nullptr));
    QVERIFY(pointer);
    QCOMPARE(QPoint(pointer->root_x, pointer->root_y), point);
}

namespace {

QWidget* colouredWidget(const QColor& colour, const QRect& geometry)
{
    auto* widget = new QWidget;
    widget->setWindowFlag(Qt::FramelessWindowHint);
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setGeometry(geometry);
    return widget;
}

} // namespace

void X11DesktopTest::grabScreenShowsWindows()
{
    const std::unique_ptr<QWidget> red(colouredWidget(Qt::red, {50, 60, 200, 100}));
    red->show();
    QVERIFY(QTest::qWaitForWindowExposed(red.get()));

    QCOMPARE(m_desktop->grabScreenWithout(nullptr).size(), QSize(1024, 768));
    QTRY_COMPARE(m_desktop->grabScreenWithout(nullptr).pixelColor(150, 110), QColor(Qt::red));
    QCOMPARE(m_desktop->grabScreenWithout(nullptr).pixelColor(300, 110), QColor(Qt::black));
}

xcb_window_t X11DesktopTest::parentOf(xcb_window_t window)
{
    const Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr));
    return tree ? tree->parent : XCB_NONE;
}

void X11DesktopTest::grabScreenLeavesOutTheWindow_data()
{
    QTest::addColumn<bool>("windowManager");
    QTest::addColumn<bool>("programDrawsBeneath");
    // Arguments of the compositing manager (picom) that draws the screen, empty for none.
    QTest::addColumn<QStringList>("compositor");
    // A window the server fills with its background again at once, and one whose program must
    // draw it again after the toolbar has gone (a Qt window of this very program: it can only do
    // so while the grab waits).
    QTest::newRow("no window manager, server draws beneath") << false << false << QStringList();
    QTest::newRow("no window manager, program draws beneath") << false << true << QStringList();
    // A compositing manager draws the screen from the windows' own pictures; one that fades
    // windows out draws the toolbar's place several times before it is gone.
    const QStringList picom{QStringLiteral("--backend"), QStringLiteral("xrender")};
    const QStringList fadingPicom = QStringList(picom) << QStringLiteral("--fading");
    QTest::newRow("fading compositing manager, no window manager") << false << true << fadingPicom;
    QTest::newRow("framing window manager, server draws beneath") << true << false << QStringList();
    QTest::newRow("framing window manager, program draws beneath") << true << true << QStringList();
    QTest::newRow("compositing manager, server draws beneath") << true << false << picom;
    QTest::newRow("compositing manager, program draws beneath") << true << true << picom;
    QTest::newRow("fading compositing manager, program draws beneath")
        << true << true << fadingPicom;
}

void X11DesktopTest::startCompositor(const QStringList& arguments)
{
    if (m_compositor.state() != QProcess::NotRunning && m_compositor.arguments() == arguments)
        return;
    stopCompositor();
    if (arguments.isEmpty())
        return;
    const QString program = QStandardPaths::findExecutable(QStringLiteral("picom"));
    QVERIFY2(!program.isEmpty(), "picom is not installed");
    m_compositor.start(program, arguments);
    QVERIFY(m_compositor.waitForStarted());
    // It composites once it owns the screen's compositing selection.
    QTRY_VERIFY_WITH_TIMEOUT(compositorRuns(), 30000);
}

void X11DesktopTest::stopCompositor()
{
    if (m_compositor.state() == QProcess::NotRunning)
        return;
    m_compositor.terminate();
    m_compositor.waitForFinished(10000);
    QTRY_VERIFY_WITH_TIMEOUT(!compositorRuns(), 10000);
}

bool X11DesktopTest::compositorRuns()
{
    const Reply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        m_connection, xcb_get_selection_owner(m_connection, atom("_NET_WM_CM_S0")), nullptr));
    return owner && owner->owner != XCB_NONE;
}

void X11DesktopTest::grabScreenLeavesOutTheWindow()
{
    QFETCH(bool, windowManager);
    QFETCH(bool, programDrawsBeneath);
    QFETCH(QStringList, compositor);
    if (windowManager && m_windowManager.state() == QProcess::NotRunning) {
        // Once started, the window manager stays for the rest of the run: the rows without one
        // come first.
        const QString program = QStandardPaths::findExecutable(QStringLiteral("openbox"));
        if (program.isEmpty())
            QSKIP("openbox is not installed");
        m_windowManager.start(program, {QStringLiteral("--sm-disable")});
        QVERIFY(m_windowManager.waitForStarted());
        const auto windowManagerRuns = [this] {
            const Reply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
                m_connection, xcb_get_selection_owner(m_connection, atom("WM_S0")), nullptr));
            return owner && owner->owner != XCB_NONE;
        };
        // The window manager is ready once it has put a new window into a frame. Under the test
        // runner it now and then never comes up; that says nothing about the grab.
        const xcb_window_t probe = createWindow({0, 0, 10, 10}, true);
        const auto framesWindows = [&] {
            return windowManagerRuns() && parentOf(probe) != m_desktop->root();
        };
        if (!QTest::qWaitFor(framesWindows, 5000))
            QSKIP("openbox did not come up");
    }

    startCompositor(compositor);
    if (QTest::currentTestFailed())
        return;

    const QColor known(200, 30, 40);
    const QColor toolbarColour(20, 40, 220);
    const QRect beneathPlace(400, 0, 624, 150);
    std::unique_ptr<QWidget> beneath;
    if (programDrawsBeneath) {
        beneath.reset(colouredWidget(known, beneathPlace));
        beneath->show();
        QVERIFY(QTest::qWaitForWindowExposed(beneath.get()));
    } else {
        const xcb_window_t window = xcb_generate_id(m_connection);
        const uint32_t values[] = {(uint32_t(known.red()) << 16) | (uint32_t(known.green()) << 8) |
                                       uint32_t(known.blue()),
                                   1};
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, m_desktop->root(),
                          beneathPlace.x(), beneathPlace.y(), beneathPlace.width(),
                          beneathPlace.height(), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT,
                          values);
        // Beneath every other window, so the window manager's frames stay above it.
        const uint32_t bottom = XCB_STACK_MODE_BELOW;
        xcb_configure_window(m_connection, window, XCB_CONFIG_WINDOW_STACK_MODE, &bottom);
        xcb_map_window(m_connection, window);
        m_rawWindows.append(window);
    }
    const std::unique_ptr<QWidget> toolbar(colouredWidget(toolbarColour, {588, 0, 343, 40}));
    toolbar->show();
    QVERIFY(QTest::qWaitForWindowExposed(toolbar.get()));
    QTRY_COMPARE(m_desktop->grabScreenWithout(nullptr).pixelColor(700, 20), toolbarColour);
    QTRY_COMPARE(m_desktop->grabScreenWithout(nullptr).pixelColor(450, 100), known);
    // Under the window manager the toolbar sits in a frame of its own, which must go as well.
    QCOMPARE(parentOf(toolbar->winId()) != m_desktop->root(), windowManager);

    const QImage picture = m_desktop->grabScreenWithout(toolbar->windowHandle());
    QVERIFY(!toolbar->isVisible());
    QVERIFY(m_desktop->screenGrab().lastGrabSawPlaceRedrawn());
    QCOMPARE(picture.size(), QSize(1024, 768));
    // Every pixel of the place the toolbar left shows the window beneath it.
    for (int y = 0; y < 40; ++y) {
        for (int x = 588; x < 931; ++x) {
            if (picture.pixelColor(x, y) != known)
                QFAIL(qPrintable(QStringLiteral("(%1, %2) is %3")
                                     .arg(x)
                                     .arg(y)
                                     .arg(picture.pixelColor(x, y).name())));
        }
    }
    QCOMPARE(picture.pixelColor(450, 100), known);
}

// After the screen picture's rows with a window manager: openbox puts the dock into a frame of its
// own, so the dock is no child of the root any more.
void X11DesktopTest::taskbarHidesDockInFrame()
{
    if (m_windowManager.state() == QProcess::NotRunning)
        QSKIP("openbox did not come up");
    const xcb_window_t dock = createWindow({0, 728, 1024, 40}, false);
    const uint32_t dockType[] = {atom("_NET_WM_WINDOW_TYPE_DOCK")};
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, dock, atom("_NET_WM_WINDOW_TYPE"),
                        XCB_ATOM_ATOM, 32, 1, dockType);
    xcb_map_window(m_connection, dock);
    xcb_flush(m_connection);
    QTRY_VERIFY(parentOf(dock) != m_desktop->root() && mapState(dock) == XCB_MAP_STATE_VIEWABLE);

    m_desktop->setTaskbarVisible(false);
    QTRY_COMPARE(mapState(dock), XCB_MAP_STATE_UNMAPPED);
    m_desktop->setTaskbarVisible(true);
    QTRY_COMPARE(mapState(dock), XCB_MAP_STATE_VIEWABLE);
}

QTEST_MAIN(X11DesktopTest)
#include "X11DesktopTest.moc"
