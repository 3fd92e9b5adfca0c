#include "board/pixels/ParallelLoop.h"

#include <QThread>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

void takePieces(const std::function<void(int)>& work, std::atomic<int>& next, int count)
{
    for (int i; (i = next.fetch_add(1)) < count;)
        work(i);
}

// The helper threads of one calling thread, kept for its later loops: starting a thread costs
// more than the whole of many a loop (a turn's copy of the changed blocks, a page shown while it
// is saved). Helpers start as the caller's threads do, so those of the page keeper keep its
// lowered priority.
class Crew {
public:
    ~Crew()
    {
        {
            const std::lock_guard lock(m_lock);
            m_stopping = true;
        }
        m_wake.notify_all();
        for (std::thread& helper : m_helpers)
            helper.join();
    }

    void run(int count, const std::function<void(int)>& work, int helpers)
    {
        while (int(m_helpers.size()) < helpers) {
            try {
                m_helpers.emplace_back([this] { serve(); });
            } catch (const std::system_error&) {
                break; // no more threads: the ones there are do the rest
            }
        }
        std::atomic<int> next{0};
        {
            const std::lock_guard lock(m_lock);
            m_work = &work;
            m_next = &next;
            m_count = count;
            m_seats = std::min(helpers, int(m_helpers.size()));
            ++m_loop;
        }
        m_wake.notify_all();
        takePieces(work, next, count);
        // Helpers that have not woken by now find nothing left: their seats are taken back.
        std::unique_lock lock(m_lock);
        m_seats = 0;
        m_done.wait(lock, [this] { return m_working == 0; });
    }

private:
    void serve()
    {
        unsigned seen = 0;
        std::unique_lock lock(m_lock);
        for (;;) {
            m_wake.wait(lock, [&] { return m_stopping || (m_loop != seen && m_seats > 0); });
            if (m_stopping)
                return;
            seen = m_loop;
            --m_seats;
            ++m_working;
            const std::function<void(int)>& work = *m_work;
            std::atomic<int>& next = *m_next;
            const int count = m_count;
            lock.unlock();
            takePieces(work, next, count);
            lock.lock();
            if (--m_working == 0)
                m_done.notify_one();
        }
    }

    std::vector<std::thread> m_helpers;
    std::mutex m_lock;
    std::condition_variable m_wake, m_done;
    bool m_stopping = false;
    unsigned m_loop = 0; // counts the loops, so that a helper joins each one once
    int m_seats = 0;     // helpers still wanted in this loop
    int m_working = 0;   // helpers in this loop now
    const std::function<void(int)>* m_work = nullptr;
    std::atomic<int>* m_next = nullptr;
    int m_count = 0;
};

} // namespace

namespace ParallelLoop {

int idealThreads()
{
    return std::max(1, QThread::idealThreadCount());
}

void run(int count, const std::function<void(int)>& work, int threads)
{
    const int helpers = std::min(threads, count) - 1;
    if (helpers <= 0) {
        for (int i = 0; i < count; ++i)
            work(i);
        return;
    }
    // A loop within a piece of this thread's loop runs on this thread: the crew is busy.
    thread_local Crew crew;
    thread_local bool crewBusy = false;
    if (crewBusy) {
        for (int i = 0; i < count; ++i)
            work(i);
        return;
    }
    crewBusy = true;
    crew.run(count, work, helpers);
    crewBusy = false;
}

} // namespace ParallelLoop
