#pragma once

#include <QElapsedTimer>

#include <chrono>
#include <functional>
#include <thread>

namespace ScreenWait {

// Milliseconds until `done`, looked at every `step`; -1 once deadlineMs have passed. The
// benchmarks that watch the real program on the screen time with it.
inline double until(const std::function<bool()>& done, qint64 deadlineMs,
                    std::chrono::microseconds step)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > deadlineMs)
            return -1;
        std::this_thread::sleep_for(step);
    }
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace ScreenWait
