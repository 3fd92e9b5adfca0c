#include "platform/real/Platform.h"

#include "platform/real/DirectoryRegistry.h"
#include "platform/real/MountDrives.h"
#include "platform/real/NoTaskKeys.h"
#include "platform/real/OfficeConverter.h"
#include "platform/real/PortalScreenshot.h"
#include "platform/real/ProcessLauncher.h"
#include "platform/real/QtDesktop.h"
#include "platform/real/QtPrompter.h"
#include "platform/real/SaneScanner.h"
#include "platform/real/SwayOutputs.h"
#include "platform/real/SystemClock.h"
#include "platform/real/X11Desktop.h"
#include "platform/real/X11TaskKeys.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

namespace {

// The screen Qt connected to: the one named in DISPLAY, as for every X client.
int defaultScreenNumber()
{
    char* host = nullptr;
    int display = 0;
    int screen = 0;
    if (!xcb_parse_display(nullptr, &host, &display, &screen))
        return 0;
    std::free(host);
    return screen;
}

} // namespace

Platform Platform::forThisDesktop(const QString& programDirectory)
{
    Platform platform;
    platform.registry =
        std::make_unique<DirectoryRegistry>(DirectoryRegistry::defaultRoots(programDirectory));
    platform.launcher = std::make_unique<ProcessLauncher>();
    platform.prompter = std::make_unique<QtPrompter>();
    platform.clock = std::make_unique<SystemClock>();
    platform.drives = std::make_unique<MountDrives>(MountDrives::Sources::forThisUser());
    platform.documentConverter = std::make_unique<OfficeConverter>();
    platform.scanner = std::make_unique<SaneScanner>();

    auto* x11 = QGuiApplication::platformName() == QLatin1String("xcb")
                    ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                    : nullptr;
    if (x11 && x11->connection()) {
        // The compositor of a Wayland session gives its keys to no X client.
        if (PortalScreenshot::isXWayland(x11->connection())) {
            std::fprintf(stderr, "zkalto runs on a Wayland session: the task-switching keys "
                                 "cannot be blocked there\n");
            if (const QString sway = SwayOutputs::socketOfThisSession(); !sway.isEmpty())
                platform.compositorOutputs = std::make_unique<SwayOutputs>(sway);
        }
        auto desktop = std::make_unique<X11Desktop>(x11->connection(), defaultScreenNumber());
        platform.taskKeys = std::make_unique<X11TaskKeys>(x11->connection(), desktop->root());
        platform.desktop = std::move(desktop);
    } else {
        platform.desktop = std::make_unique<QtDesktop>();
        platform.taskKeys = std::make_unique<NoTaskKeys>();
    }
    return platform;
}

QString Platform::x11DisplayProblem()
{
    if (!qgetenv("QT_QPA_PLATFORM").startsWith("xcb"))
        return {};
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty())
        return QStringLiteral("zkalto needs an X11 display, and DISPLAY is not set");
    xcb_connection_t* connection = xcb_connect(display.constData(), nullptr);
    const bool opened = !xcb_connection_has_error(connection);
    xcb_disconnect(connection);
    if (opened)
        return {};
    return QStringLiteral("zkalto needs an X11 display, and none can be opened at DISPLAY=\"%1\"")
        .arg(QString::fromLocal8Bit(display));
}
