#include "lessons/LessonWriter.h"

#include "board/codec/PngCodec.h"
#include "files/FileWrite.h"
#include "files/RegularFile.h"
#include "lessons/Messages.h"

#include <QThread>

#include <cerrno>
#include <optional>

namespace {

// The panel record as the lesson format has it: section "edit" with the content kind and bounds.
QByteArray panelRecordOf(const LessonPage& page)
{
    const QRect& bounds = page.panelBounds;
    return QStringLiteral("[edit]\r\nvis=%1\r\nleft=%2\r\ntop=%3\r\nwidth=%4\r\nheight=%5\r\n")
        .arg(int(page.contentKind))
        .arg(bounds.left())
        .arg(bounds.top())
        .arg(bounds.width())
        .arg(bounds.height())
        .toLatin1();
}

} // namespace

LessonWriter::LessonWriter(const LessonStore& store, QString lesson, int pageCount)
    : m_store(store), m_lesson(std::move(lesson)), m_pageCount(pageCount)
{
    Q_ASSERT(LessonStore::isValidName(m_lesson));
    Q_ASSERT(pageCount >= 1 && pageCount <= LessonStore::maxPages);
    m_pool.setMaxThreadCount(QThread::idealThreadCount());
    // The temporary files of this save must not be mistaken for those of a committed one.
    m_failure = m_store.isOnItsDrive() ? m_store.finishSave(m_lesson).message
                                       : Messages::lessonFileRefused(m_store.directory(), ELOOP);
}

LessonWriter::~LessonWriter()
{
    while (!m_onTheirWay.empty())
        collectOne();
    if (!m_finished)
        removeWrittenFiles();
}

QString LessonWriter::writePage(int n, const LessonPage& page)
{
    // The board's own PNG file of the page when it keeps one; read back into memory only here, one
    // page for each worker.
    std::optional<QByteArray> picture;
    int pictureError = ENOMEM;
    if (page.png.isNull())
        picture = PngCodec::encode(page.picture);
    else if (!(picture = page.png.read()))
        pictureError = errno;
    const QByteArray contents[] = {picture.value_or(QByteArray()), panelRecordOf(page), page.text};
    for (int i = 0; i < 3; ++i) {
        const QString path = m_store.pathOf(m_lesson, n, LessonStore::pageFiles[i]);
        // A picture that could not be encoded (no memory for it) or read back is no page to keep.
        if (i == 0 && contents[i].isEmpty())
            return Messages::lessonFileRefused(path, pictureError);
        // A file the lesson already holds as it is now (a panel record, a text, a page saved
        // before) is left in place: putting the save in place then has nothing to rename for it.
        if (RegularFile::read(path, contents[i].size()) == contents[i])
            continue;
        if (const int error = FileWrite::create(LessonStore::savingPath(path), contents[i]))
            return Messages::lessonFileRefused(path, error);
    }
    if (m_checkpoint) {
        const std::lock_guard lock(m_checkpointLock);
        m_checkpoint(QStringLiteral("page %1 written").arg(n));
    }
    return {};
}

void LessonWriter::collectOne()
{
    const QString failure = m_onTheirWay.front().get();
    m_onTheirWay.pop_front();
    if (m_failure.isEmpty())
        m_failure = failure;
}

bool LessonWriter::add(int n, const LessonPage& page)
{
    Q_ASSERT(n == m_added + 1 && n <= m_pageCount);
    if (!m_failure.isEmpty())
        return false;
    // One page waits for each worker, so none runs dry while the next page is read.
    while (int(m_onTheirWay.size()) >= 2 * m_pool.maxThreadCount())
        collectOne();
    if (!m_failure.isEmpty())
        return false;
    auto task = std::make_shared<std::packaged_task<QString()>>(
        [this, n, page] { return writePage(n, page); });
    m_onTheirWay.push_back(task->get_future());
    m_pool.start([task] { (*task)(); });
    m_added = n;
    return true;
}

QString LessonWriter::finish()
{
    Q_ASSERT(m_added == m_pageCount || !m_failure.isEmpty());
    while (!m_onTheirWay.empty())
        collectOne();
    if (!m_failure.isEmpty())
        return m_failure;
    // Every file is on the disk before the save is committed.
    if (const int error = FileWrite::syncFileSystem(m_store.directory()))
        return m_failure = Messages::lessonFileRefused(m_store.directory(), error);
    const QString record = m_store.commitPath(m_lesson);
    if (const int error = m_store.commit(m_lesson, m_pageCount)) {
        // A record that may stand keeps its files: with them it is the whole new lesson.
        if (FileWrite::remove(record) != 0)
            m_finished = true;
        return m_failure = Messages::lessonFileRefused(record, error);
    }
    m_finished = true;
    if (m_checkpoint)
        m_checkpoint(QStringLiteral("committed"));
    return m_store.finishSave(m_lesson, m_checkpoint).message;
}

void LessonWriter::removeWrittenFiles()
{
    for (int n = 1; n <= m_added; ++n)
        for (LessonStore::PageFile file : LessonStore::pageFiles)
            FileWrite::remove(LessonStore::savingPath(m_store.pathOf(m_lesson, n, file)));
}
