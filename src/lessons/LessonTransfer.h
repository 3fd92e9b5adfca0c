#pragma once

#include <QSize>
#include <QString>
#include <functional>
#include <optional>

class AdministratorPassword;
class BoardModel;
class Drives;
class LessonChoice;
class LessonStore;
class TeacherSettings;

// "保存", "打开" and "导出" of the settings window's lesson group: the whole board saved as the
// chosen lesson, or the lesson opened into it, in the lesson store on the drive of the drive box.
// Only an unlocked teacher may do either. Each records its lesson store as the one in use, where
// the administrator password is kept; a save also keeps the teacher in the stored teacher list.
// While pages go, the board shows each page and its number.
class LessonTransfer {
public:
    struct Outcome {
        bool closes; // false: nothing was done and the settings window stays open
        QString message;
    };

    LessonTransfer(BoardModel& board, TeacherSettings& teachers, LessonChoice& choice,
                   AdministratorPassword& administrator, Drives& drives);

    // beforePages runs when nothing can refuse the operation any more, just before the first page
    // goes: the settings window hides there, so the board shows.
    Outcome save(const std::function<void()>& beforePages);
    Outcome open(const std::function<void()>& beforePages);
    // "导出": the board's pages, those a save saves, as a PDF file (LessonPdf) under the chosen
    // name, ".pdf" added when it has no extension. Written whole or not at all; the message says
    // where it went, or names the file and why it could not be written.
    QString exportPdf(const QString& chosenPath);

private:
    // The store on the drive of the drive box, now the store in use; nothing when the machine
    // lacks that drive.
    std::optional<LessonStore> chosenStore();
    // Why the lesson name cannot name files in the store; empty when it can.
    QString lessonProblem() const;

    BoardModel& m_board;
    TeacherSettings& m_teachers;
    LessonChoice& m_choice;
    AdministratorPassword& m_administrator;
    Drives& m_drives;
};
