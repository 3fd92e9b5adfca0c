// The snapshot under "标注" on each kind of desktop, against the X11 grab of the same screen in
// the same run: the X server's picture read at once, and the desktop portal's (a request on the
// session bus, the picture the portal wrote to a PNG file read back and removed). Without a real
// portal on the session bus the benchmark starts a bus of its own with a portal that answers at
// once with a picture of the screen, and says so. Needs an X display (run it under xvfb-run).

#include "FakePortal.h"
#include "RatioReporter.h"

#include "platform/real/Platform.h"
#include "platform/real/PortalScreenshot.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    Platform platform = Platform::forThisDesktop(QCoreApplication::applicationDirPath());
    if (!platform.desktop) {
        std::fprintf(stderr, "snapshot_bench needs an X display\n");
        return 1;
    }

    const QString portalName = QStringLiteral("org.freedesktop.portal.Desktop");
    QProcess bus;
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
        // Before the program's first use of the session bus, which then stays what it is.
        const QByteArray address = startPrivateSessionBus(bus);
        if (address.isEmpty()) {
            std::fprintf(stderr, "dbus-daemon does not start\n");
            return 1;
        }
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    }
    QTemporaryDir directory;
    std::unique_ptr<FakePortal> portal;
    const bool realPortal =
        QDBusConnection::sessionBus().interface()->isServiceRegistered(portalName);
    if (!realPortal) {
        QDBusConnection portalBus = QDBusConnection::connectToBus(
            QString::fromUtf8(qgetenv("DBUS_SESSION_BUS_ADDRESS")), QStringLiteral("portal"));
        portal = std::make_unique<FakePortal>(portalBus, PortalAnswer::Picture,
                                              directory.filePath(QStringLiteral("Screenshot.png")));
        portal->picture = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        portalBus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), portal.get(),
                                 QDBusConnection::ExportAllSlots);
        portalBus.registerService(portalName);
    }
    std::printf("portal: %s\n", realPortal ? "the session's own"
                                           : "none on the session bus: one of the benchmark's own");

    Desktop* desktop = platform.desktop.get();
    benchmark::RegisterBenchmark("X11 grab", [desktop](benchmark::State& state) {
        for (auto _ : state)
            benchmark::DoNotOptimize(desktop->grabScreenWithout(nullptr));
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("portal", [](benchmark::State& state) {
        for (auto _ : state) {
            const QImage picture = PortalScreenshot::take();
            if (picture.isNull())
                state.SkipWithError("the portal gave no picture");
            benchmark::DoNotOptimize(picture);
        }
    })->Unit(benchmark::kMillisecond);

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio("portal", "X11 grab");
    benchmark::Shutdown();
    bus.terminate();
    bus.waitForFinished(10000);
    return 0;
}
