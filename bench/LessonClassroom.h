#pragma once

#include "SamplePages.h"

#include "board/model/BoardModel.h"
#include "board/pixels/RasterCopy.h"
#include "lessons/AdministratorPassword.h"
#include "lessons/LessonChoice.h"
#include "lessons/LessonTransfer.h"
#include "lessons/SettingsLocation.h"
#include "lessons/TeacherSettings.h"
#include "platform/fakes/FakeDrives.h"
#include "platform/fakes/ScriptedPrompter.h"
#include "text/Gbk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

// Writes count whiteboard pages (SamplePages' strokes, one seed a page) on a board of one page,
// adding a page before each but the first; the board ends on the last.
inline void writeStrokePages(PageStore& pages, int count)
{
    for (int n = 1; n <= count; ++n) {
        if (n > 1)
            pages.addPage(Qt::gray);
        const QImage page =
            SamplePages::make(SamplePages::Kind::Strokes, pages.screenSize(), quint32(n));
        RasterCopy::copy(page, page.rect(), pages.currentPageImage(), QPoint());
        pages.current().state = PageState::WrittenOn;
    }
}

// The program's parts that save and open a lesson, as the settings window uses them, in a folder
// of their own: teacher 李 unlocked, the lesson store on drive D, and a board of the screen's size.
struct LessonClassroom {
    QTemporaryDir directory;
    ScriptedPrompter prompter;
    FakeDrives drives;
    BoardModel board;
    std::unique_ptr<TeacherSettings> teachers;
    std::unique_ptr<AdministratorPassword> administrator;
    std::unique_ptr<LessonChoice> choice;
    std::unique_ptr<LessonTransfer> transfer; // on the classroom's board

    explicit LessonClassroom(QSize screen)
        : board(screen, directory.path() + QStringLiteral("/work/"), prompter)
    {
        const QString root = directory.path() + QStringLiteral("/D/");
        for (const QString& path : {directory.path() + QStringLiteral("/work"), root})
            QDir().mkpath(path);
        drives.setDrives({{QLatin1Char('D'), DriveKind::Fixed, QString(), root}});
        const SettingsLocation location{QLatin1Char('D'), root};
        QFile settings(location.filePath());
        if (!settings.open(QIODevice::WriteOnly))
            qFatal("cannot write the settings file");
        settings.write(*Gbk::encode(QStringLiteral("[tec]\r\nmum=1\r\nte1=李\r\ndrive=D\r\n")));
        settings.close();
        teachers = std::make_unique<TeacherSettings>(location);
        teachers->choose(1);
        administrator = std::make_unique<AdministratorPassword>(QString(), QString());
        choice = std::make_unique<LessonChoice>(*teachers, drives);
        transfer = transferOn(board);
    }

    // "保存" and "打开" on another board of the same size, with this classroom's teacher and store.
    std::unique_ptr<LessonTransfer> transferOn(BoardModel& other)
    {
        return std::make_unique<LessonTransfer>(other, *teachers, *choice, *administrator, drives);
    }
};
