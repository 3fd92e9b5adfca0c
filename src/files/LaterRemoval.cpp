#include "files/LaterRemoval.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include <unistd.h>

namespace {

// One thread for the whole program, started with the first removal; it is joined when the program
// ends, after its last removal.
class Remover {
public:
    ~Remover()
    {
        {
            const std::lock_guard lock(m_lock);
            m_ending = true;
        }
        m_changed.notify_all();
        if (m_thread.joinable())
            m_thread.join();
    }

    void add(std::vector<QByteArray> names)
    {
        {
            const std::lock_guard lock(m_lock);
            m_waiting.push_back(std::move(names));
            if (!m_thread.joinable())
                m_thread = std::thread([this] { run(); });
        }
        m_changed.notify_all();
    }

    void waitUntilDone()
    {
        std::unique_lock lock(m_lock);
        m_changed.wait(lock, [this] { return m_waiting.empty() && !m_removing; });
    }

private:
    void run()
    {
        std::unique_lock lock(m_lock);
        for (;;) {
            m_changed.wait(lock, [this] { return m_ending || !m_waiting.empty(); });
            if (m_waiting.empty())
                return;
            const std::vector<QByteArray> names = std::move(m_waiting.front());
            m_waiting.pop_front();
            m_removing = true;
            lock.unlock();
            for (const QByteArray& name : names)
                ::unlink(name.constData());
            lock.lock();
            m_removing = false;
            m_changed.notify_all();
        }
    }

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<std::vector<QByteArray>> m_waiting;
    bool m_removing = false;
    bool m_ending = false;
    std::thread m_thread;
};

Remover& remover()
{
    static Remover theRemover;
    return theRemover;
}

} // namespace

namespace LaterRemoval {

void remove(std::vector<QByteArray> names)
{
    remover().add(std::move(names));
}

void waitUntilDone()
{
    remover().waitUntilDone();
}

} // namespace LaterRemoval
