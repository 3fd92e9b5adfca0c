#pragma once

#include "lessons/LessonStore.h"

#include <QThreadPool>
#include <deque>
#include <future>

// One save of a lesson into the lesson store. Pages are handed over in order and written on worker
// threads, each file under its temporary name: a page's picture is the PNG file the board keeps of
// it when it has one, else it is encoded there (PngCodec). A file the lesson already holds with the
// same bytes (a panel record, a text, a page not changed since it was saved) is not written: it
// stays in place. finish() waits for the pages, flushes them to the disk, commits the save and puts
// it in place, writing the index last (LessonStore). A file that cannot be written stops the save:
// what it wrote is removed, and the lesson saved before under that name stays as it was.
class LessonWriter {
public:
    // A committed save of the lesson that was cut short is put in place first; when that fails,
    // the save fails at once.
    LessonWriter(const LessonStore& store, QString lesson, int pageCount);
    // A save that did not finish leaves the old lesson and no file of its own.
    ~LessonWriter();

    // Page n, in order from 1 to the page count. False once the save has failed; nothing more is
    // written then. Waits while enough pages are on their way to keep the workers busy.
    bool add(int n, const LessonPage& page);
    // Empty when the lesson is saved; otherwise the message that names the file that could not
    // be written and why.
    QString finish();

    // Called after each page's files are written (from a worker thread, one call at a time) and
    // after each step of putting the save in place.
    void setCheckpoint(LessonStore::Checkpoint checkpoint) { m_checkpoint = std::move(checkpoint); }

private:
    // Writes page n's three files under their temporary names; the message when one failed.
    QString writePage(int n, const LessonPage& page);
    // Waits for the oldest page on its way.
    void collectOne();
    void removeWrittenFiles();

    const LessonStore& m_store;
    QString m_lesson;
    int m_pageCount;
    LessonStore::Checkpoint m_checkpoint;
    std::mutex m_checkpointLock;
    QThreadPool m_pool;
    std::deque<std::future<QString>> m_onTheirWay;
    int m_added = 0;
    QString m_failure;
    bool m_finished = false;
};
