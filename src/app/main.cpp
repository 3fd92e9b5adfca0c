#include "app/BoardScreenChoice.h"
#include "app/Program.h"
#include "app/ProgramDirectory.h"
#include "app/ScreenKeeper.h"
#include "app/ShutdownWatcher.h"
#include "app/ToolbarWindow.h"
#include "platform/real/Platform.h"
#include "text/FontNames.h"
#include "ui/Hints.h"
#include "ui/InterfaceLanguage.h"
#include "ui/WebViews.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[])
{
    // The program is made for X11; a session type does not send Qt to another platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    // Qt would abort without a display: say what is missing and end instead.
    if (const QString problem = Platform::x11DisplayProblem(); !problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(problem));
        return 1;
    }
    // One image pixel is one screen pixel: the board's rules are written in device pixels.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::Floor);
    QApplication application(argc, argv);
    FontNames::apply();
    Hints::install(application);
    InterfaceLanguage::install(application);
    QApplication::setApplicationName(QStringLiteral("zkalto"));
    // The toolbar is the main window; other windows coming and going never end the program.
    QApplication::setQuitOnLastWindowClosed(false);

    const ProgramDirectories directories{ProgramDirectory::ofExecutable(),
                                         ProgramDirectory::writable(), ProgramDirectory::state()};
    Platform platform = Platform::forThisDesktop(directories.delivered);
    // Every window goes to the board screen as it shows; the pages are made for its size.
    ScreenKeeper boardScreen(BoardScreenChoice::requestedName(QApplication::arguments()),
                             platform.compositorOutputs.get());
    Program program(platform, boardScreen.screen()->size(), directories);
    if (program.endRequested())
        return 0;
    ToolbarWindow* toolbar = program.windows().toolbar;
    QObject::connect(&boardScreen, &ScreenKeeper::screenChanged, toolbar, &ToolbarWindow::moveHome);
    // Ended from outside, the program ends as after "退出", without the question.
    ShutdownWatcher shutdown;
    QObject::connect(&shutdown, &ShutdownWatcher::shutdownRequested, &application,
                     [&program] { program.endFromOutside(); });
    toolbar->show();
    toolbar->moveHome();
    program.startBackup();
    // The first guide or document finds the web engine's libraries loaded. The process loading
    // them starts once the toolbar is up and start-up's own work is done, not beside it.
    QTimer::singleShot(std::chrono::seconds(2), &application, &WebViews::prepare);
    return application.exec();
}
