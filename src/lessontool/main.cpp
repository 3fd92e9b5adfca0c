#include "lessontool/LessonCommand.h"
#include "platform/real/MountDrives.h"
#include "text/FontNames.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    // The PDF needs fonts and text layout, never a window: no display is needed or used.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    // The panel's brush script, as the program names it.
    FontNames::apply();
    QTextStream out(stdout);
    QTextStream err(stderr);
    MountDrives drives(MountDrives::Sources::forThisUser());
    LessonCommand command(drives, out, err);
    return command.run(application.arguments().mid(1));
}
