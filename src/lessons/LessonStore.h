#pragma once

#include "board/store/PageStore.h"

#include <QSize>
#include <QString>
#include <functional>

// The lesson store: the directory "Program files/Z_Kalto/data/" under a drive's root. It holds the
// lesson index "datb.sec", an INI file in GBK with one section per lesson, named by the lesson,
// whose key "pag" is the lesson's page count; and for page n of a lesson three files named by the
// lesson, n and an extension: ".pte" the page picture (PNG), ".sec" the panel record (INI, section
// "edit": "vis" the content kind, "left", "top", "width", "height" the panel bounds) and ".te" the
// page text as the board keeps it (rich text; empty for a page without text). File names are
// UTF-8.
//
// A save is put in place only when it is whole (LessonWriter): its files are first written under
// temporary names ("<file>.saving") and flushed; then its page count is recorded in
// "<lesson>.saving", which commits it; then the files are renamed into place, "pag" is written
// last and the record removed. The files a save replaces are moved aside ("<file>.old")
// and removed in the background (LaterRemoval). Opening or saving a lesson first finishes a
// committed save that was cut short, and reads its files where it cannot; temporary files that no
// commit record names are removed then. So a crash or a full disk leaves either the old lesson or
// the new one whole, never a mixture, and nothing of a save that was cut short stays behind.
//
// Nothing is read or written through a link planted in the store: files are written anew or
// replaced by renaming (FileWrite), and read only when they are regular files (RegularFile).
//
// Every path is the store's directory followed by a file name made from the lesson name, which
// must pass isValidName: nothing leads out of the directory or breaks the index.
class LessonStore {
public:
    static constexpr int maxPages = PageStore::maxPages;
    enum class PageFile { Picture, Panel, Text };
    static constexpr PageFile pageFiles[] = {PageFile::Picture, PageFile::Panel, PageFile::Text};
    // Called at each step of a save (tests stop the save there); the step is named.
    using Checkpoint = std::function<void(const QString& step)>;

    // A lesson as it opens.
    struct Lesson {
        QString name;
        int pageCount = 0;        // at most maxPages; 0 when the store does not have the lesson
        bool readsSaving = false; // a committed save could not be put in place: its files count
    };

    // The store on a drive whose root directory ends with "/".
    static QString directoryOn(const QString& driveRoot);
    // directory ends with "/".
    explicit LessonStore(QString directory);

    const QString& directory() const { return m_directory; }
    QString indexPath() const;
    // Creates "Program files", "Program files/Z_Kalto" and "Program files/Z_Kalto/data" where
    // they are missing. A failure is not reported here: the save's first write reports it.
    void makeDirectory() const;

    // Whether the store's folders are folders of the drive itself: a link among them (planted
    // on a stick) would lead the store's files elsewhere. A store that is not opens no lesson
    // and takes no save. Folders not made yet count as the drive's.
    bool isOnItsDrive() const;

    // Whether a lesson name makes file names that stay in the store and a section name the index
    // can hold: not empty, no "/", "\", "[", "]", "=" or control characters, text GBK has, and
    // short enough for the longest file name of the lesson.
    static bool isValidName(const QString& lesson);
    QString pathOf(const QString& lesson, int n, PageFile file) const;
    // Where a file is written before the save is put in place.
    static QString savingPath(const QString& path) { return path + QStringLiteral(".saving"); }
    // Where the file a save replaces goes until it is removed, in the background; no longer than
    // savingPath, which isValidName measures.
    static QString replacedPath(const QString& path) { return path + QStringLiteral(".old"); }
    // The record of a committed save that is not yet in place.
    QString commitPath(const QString& lesson) const;

    // Commits a save whose files are all written and flushed under their temporary names: the
    // record of its page count. 0, or the errno value of the failure.
    int commit(const QString& lesson, int pageCount) const;
    // Puts a committed save of the lesson in place when one was cut short; nothing when there is
    // none. pendingPages: the committed save's page count while it is still not in place, 0 when
    // nothing is pending; message: why it could not be put in place.
    struct Pending {
        int pendingPages = 0;
        QString message;
    };
    Pending finishSave(const QString& lesson, const Checkpoint& checkpoint = {}) const;

    // The lesson as it opens, after finishing a save of it that was cut short: its page count
    // from "pag" (or from the committed save), never more than maxPages.
    Lesson open(const QString& lesson) const;
    // The lesson as open() would give it, without changing the store: a committed save not yet
    // in place is read from its temporary files. For looking at a store (a stick that must stay
    // as it is).
    Lesson look(const QString& lesson) const;
    // The page count a commit record of the lesson holds; 0 when there is none.
    int committedPageCount(const QString& lesson) const;
    // Page n of an opened lesson. A missing or unreadable picture is null; a missing panel record
    // gives content kind none and the bounds (0, 40, 368, screen height − 40); bounds are kept
    // within reach on the screen; a missing text is empty.
    LessonPage readPage(const Lesson& lesson, int n, QSize screenSize) const;

private:
    // Renames a committed save's files into place, writes its page count and removes its record.
    Pending putInPlace(const QString& lesson, int pages, const Checkpoint& checkpoint) const;
    // Removes the temporary files of pages fromPage..maxPages.
    void removeUncommittedFiles(const QString& lesson, int fromPage) const;

    QString m_directory;
};
