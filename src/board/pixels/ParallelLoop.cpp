#include "board/pixels/ParallelLoop.h"

#include <QThread>

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace ParallelLoop {

int idealThreads()
{
    return std::max(1, QThread::idealThreadCount());
}

void run(int count, const std::function<void(int)>& work, int threads)
{
    std::atomic<int> next{0};
    const auto takePieces = [&] {
        for (int i; (i = next.fetch_add(1)) < count;)
            work(i);
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < std::min(threads, count); ++t) {
        try {
            helpers.emplace_back(takePieces);
        } catch (const std::system_error&) {
            break; // no more threads: the ones there are do the rest
        }
    }
    takePieces();
    for (std::thread& helper : helpers)
        helper.join();
}

} // namespace ParallelLoop
