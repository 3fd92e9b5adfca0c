#pragma once

#include "lessons/LessonStore.h"

#include <QThreadPool>
#include <deque>
#include <future>

// Reads the pages of an opened lesson in order, decoding the next few on worker threads while the
// board takes the one before.
class LessonReader {
public:
    // For a board, a page read ahead keeps its picture compact (LessonPage::compactPicture) when
    // the picture is the whole page (opaque, of the screen's size), so that the pages waiting hold
    // little memory and the board takes them compact as they are.
    enum class WholePictures { AsImages, Compact };

    LessonReader(const LessonStore& store, LessonStore::Lesson lesson, QSize screenSize,
                 WholePictures wholePictures = WholePictures::AsImages);
    ~LessonReader();

    // Page n, in order from 1 to the lesson's page count.
    LessonPage take(int n);

private:
    void readAheadUpTo(int n);
    LessonPage compacted(LessonPage page) const;

    const LessonStore& m_store;
    LessonStore::Lesson m_lesson;
    QSize m_screenSize;
    WholePictures m_wholePictures;
    QThreadPool m_pool;
    std::deque<std::future<LessonPage>> m_ahead; // pages m_taken + 1, m_taken + 2, ...
    int m_taken = 0;
    int m_asked = 0;
};
