#pragma once

#include <QStringList>
#include <QTextStream>

class Drives;

// "zkalto-lesson": the lesson stores of this machine's drives for teachers and technicians,
// without the program: list them, export a lesson as PDF (as the settings window's "导出" does),
// check a store, repair what a save cut short left (as the program does when it opens or saves
// the lesson) and copy a lesson to another drive or teacher (written as a save is). It reads
// only what the program reads (plain files, no links, names LessonStore accepts) and writes only
// through the lesson store's own writer.
class LessonCommand {
public:
    // The exit status: 0 done, 1 wrong use (refused input), 2 not found (drive, store, lesson),
    // 3 a file could not be written. "check" gives the bits of StoreCheck::Fault instead.
    enum Status { Done = 0, WrongUse = 1, NotFound = 2, WriteFailed = 3 };

    LessonCommand(Drives& drives, QTextStream& out, QTextStream& err);

    // arguments without the program's name.
    int run(const QStringList& arguments);

    static QString usage();

private:
    Drives& m_drives;
    QTextStream& m_out;
    QTextStream& m_err;
};
