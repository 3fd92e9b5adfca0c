#include "lessons/LessonReader.h"

#include <QThread>

#include <malloc.h>

LessonPage LessonReader::compacted(LessonPage page) const
{
    // Only a picture that covers the whole window is the page as it opens; any other is drawn
    // over what the window shows and must stay an image.
    if (m_wholePictures == WholePictures::Compact && page.picture.size() == m_screenSize &&
        page.picture.format() == PageStore::pageFormat) {
        page.compactPicture = CompactPage(page.picture);
        page.picture = QImage();
    }
    return page;
}

LessonReader::LessonReader(const LessonStore& store, LessonStore::Lesson lesson, QSize screenSize,
                           WholePictures wholePictures)
    : m_store(store), m_lesson(std::move(lesson)), m_screenSize(screenSize),
      m_wholePictures(wholePictures)
{
    m_pool.setMaxThreadCount(QThread::idealThreadCount());
}

LessonReader::~LessonReader()
{
    for (std::future<LessonPage>& page : m_ahead)
        page.wait();
    // The pictures were decoded on the workers' own heaps, among the compact pages made there
    // that the board keeps: the memory they freed would stay resident between those.
    malloc_trim(0);
}

void LessonReader::readAheadUpTo(int n)
{
    for (; m_asked < std::min(n, m_lesson.pageCount); ++m_asked) {
        const int page = m_asked + 1;
        auto task = std::make_shared<std::packaged_task<LessonPage()>>(
            [this, page] { return compacted(m_store.readPage(m_lesson, page, m_screenSize)); });
        m_ahead.push_back(task->get_future());
        m_pool.start([task] { (*task)(); });
    }
}

LessonPage LessonReader::take(int n)
{
    Q_ASSERT(n == m_taken + 1 && n <= m_lesson.pageCount);
    // One page waits for each worker while the board takes this one.
    readAheadUpTo(n + 2 * m_pool.maxThreadCount());
    LessonPage page = m_ahead.front().get();
    m_ahead.pop_front();
    m_taken = n;
    return page;
}
