#include "app/Program.h"
#include "app/ProgramDirectory.h"
#include "app/ToolbarWindow.h"
#include "platform/Platform.h"
#include "ui/FontNames.h"
#include "ui/Hints.h"
#include "ui/InterfaceLanguage.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char* argv[])
{
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
                                         ProgramDirectory::writable()};
    Platform platform = Platform::forThisDesktop(directories.delivered);
    const QSize screenSize = QGuiApplication::primaryScreen()->size();
    Program program(platform, screenSize, directories);
    if (program.endRequested())
        return 0;
    program.windows().toolbar->show();
    return application.exec();
}
