#include "lessons/LessonTransfer.h"

#include "board/model/BoardModel.h"
#include "files/FileWrite.h"
#include "lessons/AdministratorPassword.h"
#include "lessons/LessonChoice.h"
#include "lessons/LessonPdf.h"
#include "lessons/LessonReader.h"
#include "lessons/LessonStore.h"
#include "lessons/LessonWriter.h"
#include "lessons/Messages.h"
#include "lessons/TeacherName.h"
#include "lessons/TeacherSettings.h"
#include "platform/Drives.h"

#include <cerrno>

LessonTransfer::LessonTransfer(BoardModel& board, TeacherSettings& teachers, LessonChoice& choice,
                               AdministratorPassword& administrator, Drives& drives)
    : m_board(board), m_teachers(teachers), m_choice(choice), m_administrator(administrator),
      m_drives(drives)
{
}

std::optional<LessonStore> LessonTransfer::chosenStore()
{
    const std::optional<Drive> drive = m_drives.find(m_teachers.lessonDrive());
    if (!drive)
        return std::nullopt;
    LessonStore store(LessonStore::directoryOn(drive->root));
    m_administrator.useLessonStore(store.directory());
    return store;
}

QString LessonTransfer::lessonProblem() const
{
    // A name typed after unlocking is the teacher of the lesson: it must make a file name too.
    if (const QString problem = TeacherName::problem(m_teachers.currentTeacherName());
        !problem.isEmpty())
        return problem;
    return LessonStore::isValidName(m_choice.lessonName()) ? QString()
                                                           : Messages::lessonNameUnusable();
}

LessonTransfer::Outcome LessonTransfer::save(const std::function<void()>& beforePages)
{
    if (const QString message = m_teachers.requireUnlocked(); !message.isEmpty())
        return {false, message};
    if (const QString problem = lessonProblem(); !problem.isEmpty())
        return {false, problem};
    const QString lesson = m_choice.lessonName();
    const std::optional<LessonStore> store = chosenStore();
    if (!store)
        return {false, Messages::driveMissing(m_teachers.lessonDrive())};
    if (const QString message = m_teachers.storeTeacherListFor(m_teachers.currentTeacherName());
        !message.isEmpty())
        return {false, message};
    store->makeDirectory();

    beforePages();
    m_board.putDownFloatingPicture();
    const int pageCount = m_board.pages().pageCount();
    QString message;
    {
        LessonWriter writer(*store, lesson, pageCount);
        for (int n = 1; n <= pageCount; ++n) {
            if (!writer.add(n, m_board.showSavedPage(n)))
                break;
        }
        message = writer.finish();
    }
    m_board.finishSaving();
    return {true, message};
}

LessonTransfer::Outcome LessonTransfer::open(const std::function<void()>& beforePages)
{
    if (const QString message = m_teachers.requireUnlocked(); !message.isEmpty())
        return {false, message};
    if (const QString problem = lessonProblem(); !problem.isEmpty())
        return {false, problem};
    const std::optional<LessonStore> store = chosenStore();
    if (!store)
        return {false, Messages::fileNotFound()};
    // No lesson index, or none for this lesson: no pages.
    const LessonStore::Lesson lesson = store->open(m_choice.lessonName());
    if (lesson.pageCount == 0)
        return {false, Messages::fileNotFound()};

    beforePages();
    LessonReader reader(*store, lesson, m_board.screenSize(), LessonReader::WholePictures::Compact);
    m_board.openLesson(lesson.pageCount, [&](int n) { return reader.take(n); });
    return {true, {}};
}

QString LessonTransfer::exportPdf(const QString& chosenPath)
{
    const QString path = LessonPdf::fileNameFor(chosenPath);
    m_board.putDownFloatingPicture();
    const int pageCount = m_board.pages().pageCount();
    const LessonPdf pdf(m_board.screenSize(), m_board.contentPanel().textColour);
    const QByteArray bytes = pdf.write(pageCount, [&](int n) { return m_board.lessonPage(n); });
    // A document that could not be made in memory is not written at all.
    if (const int error = bytes.isEmpty() ? ENOMEM : FileWrite::replace(path, bytes))
        return Messages::pdfFileRefused(path, error);
    return Messages::pdfWritten(path, pageCount);
}
