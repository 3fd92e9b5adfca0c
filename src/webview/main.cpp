// zkalto-web: the web engine in a process of its own beside the program. The program starts it
// ahead of the first document or guide and ends it when nothing shows a page, so that the
// engine's memory goes back to the system (ui/WebEngineProcess).

#include "webview/LibraryPages.h"
#include "webview/WebViewServer.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace {

// The engine will not start its sandbox as root and then ends the whole process, pages and all;
// kiosk images and classroom set-ups run everything as root.
void runWithoutSandboxAsRoot()
{
    if (::geteuid() != 0 || qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        return;
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    std::fprintf(stderr, "zkalto runs as root: web views run without the web engine's sandbox\n");
}

} // namespace

int main(int argc, char* argv[])
{
    // The views' windows live in the program's X windows.
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    // The pages are drawn in software as the engine draws them without a GPU: no OpenGL driver
    // is loaded, which keeps the process waiting for its first page at a third of its size
    // (Mesa's software renderer alone is some 50 MiB) and starts the engine sooner.
    qputenv("QT_XCB_GL_INTEGRATION", "none");
    qputenv("QT_QUICK_BACKEND", "software");
    runWithoutSandboxAsRoot();
    // The engine describes its graphics set-up at every start when it draws in software; the
    // program's standard error, where this process writes, is no place for it.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    // Standard output carries the answers to the program alone: whatever a library prints goes
    // to standard error.
    const int answers = ::dup(STDOUT_FILENO);
    ::dup2(STDERR_FILENO, STDOUT_FILENO);
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    WebViewServer server(STDIN_FILENO, answers);
    // Started ahead of time, the process waits with its libraries in the page cache rather than
    // in its own memory.
    QTimer::singleShot(0, &server, [&server] {
        if (server.waiting())
            LibraryPages::release();
    });
    return application.exec();
}
