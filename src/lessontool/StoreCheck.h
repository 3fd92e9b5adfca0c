#pragma once

#include "lessons/LessonStore.h"

#include <QList>
#include <QString>
#include <QStringList>

// What "zkalto-lesson check" finds in a lesson store, without changing anything in it. Each kind
// of fault is one bit of the command's exit status, so a script can tell them apart.
class StoreCheck {
public:
    enum Fault : int {
        NoStore = 2,           // no store on the drive, or its folders are links
        IndexAgainstFiles = 4, // a file of an indexed page missing, or files of no indexed page
        PageUnreadable = 8,    // a page picture that does not decode
        HalfFinishedSave = 16, // a save cut short: committed and not in place, or not committed
    };
    struct Finding {
        Fault fault;
        QString text;
    };

    explicit StoreCheck(const LessonStore& store);

    // Every fault of the store; with a lesson, only that lesson's (and the store's own).
    QList<Finding> findings(const QString& onlyLesson = {}) const;
    // The bits of the faults found.
    static int statusOf(const QList<Finding>& findings);

    // The lessons of the index, in its order, then those only a commit record names.
    QStringList lessons() const;
    // The lessons whose files a save cut short may have left: those of lessons() and every name
    // the temporary files of pages can be read as (a lesson, a page number 1..99, an extension).
    // Finishing each of them (LessonStore::finishSave) repairs the store.
    QStringList lessonsToFinish() const;
    // The files of the store's directory, by name (links and special files included).
    QStringList fileNames() const;

private:
    void checkLesson(const QString& lesson, QList<Finding>& found) const;
    // The indexed lesson a page file (without ".saving") belongs to, with its page number; an
    // empty name for none.
    std::pair<QString, int> ownerOf(const QString& fileName, const QStringList& lessons) const;

    const LessonStore& m_store;
};
