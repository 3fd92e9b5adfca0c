#pragma once

#include <functional>

// Spreads independent pieces of image work over the machine's cores: work(i) runs once for every
// i in 0 .. count - 1, on the calling thread and on up to threads - 1 helper threads that take the
// next piece as they finish one. Returns when every piece is done. With one piece, or one core,
// everything runs on the calling thread.
namespace ParallelLoop {

// Cores the loop uses by default.
int idealThreads();
void run(int count, const std::function<void(int)>& work, int threads = idealThreads());

} // namespace ParallelLoop
