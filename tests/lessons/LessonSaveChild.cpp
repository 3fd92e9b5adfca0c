// Saves one version of a lesson into the lesson store of drive E, as the tests' child process that
// is killed in the middle of the save. Arguments: lesson name, version, page count, and "step"
// (after each step of the save, print it and wait for a line on the standard input) or "free"
// (print each step and go on). The drive comes from the pins of ZKALTO_DRIVES.

#include "LessonSamples.h"
#include "lessons/LessonStore.h"
#include "lessons/LessonWriter.h"
#include "platform/real/MountDrives.h"

#include <QCoreApplication>

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 5)
        return 2;
    MountDrives drives(MountDrives::Sources::forThisUser());
    const std::optional<Drive> drive = drives.find(QLatin1Char('E'));
    if (!drive)
        return 3;
    const QString lesson = arguments[1];
    const int version = arguments[2].toInt();
    const int pageCount = arguments[3].toInt();
    const bool stepwise = arguments[4] == QLatin1String("step");

    const LessonStore store(LessonStore::directoryOn(drive->root));
    store.makeDirectory();
    LessonWriter writer(store, lesson, pageCount);
    writer.setCheckpoint([stepwise](const QString& step) {
        std::printf("%s\n", qPrintable(step));
        std::fflush(stdout);
        std::string go;
        if (stepwise)
            std::getline(std::cin, go);
    });
    for (int n = 1; n <= pageCount; ++n)
        writer.add(n, LessonSamples::page(version, n, QSize(640, 480)));
    const QString failure = writer.finish();
    std::printf("%s\n", failure.isEmpty() ? "saved" : qPrintable(failure));
    return failure.isEmpty() ? 0 : 1;
}
