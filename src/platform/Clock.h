#pragma once

#include <QDateTime>

// The local date and time, as file names made from the moment need them.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};
