#include "lessontool/LessonCommand.h"
#include "platform/real/MountDrives.h"
#include "text/FontNames.h"

#include <QGuiApplication>

#include <cstdio>

namespace {

// Qt's own notes on its set-up (a session without XDG_RUNTIME_DIR, as under sudo or cron) are
// not for the command's reader; its faults are.
void keepQtFaults(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "zkalto-lesson: %s\n", qPrintable(message));
}

} // namespace

int main(int argc, char* argv[])
{
    qInstallMessageHandler(keepQtFaults);
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
