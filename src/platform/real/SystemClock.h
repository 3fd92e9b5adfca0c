#pragma once

#include "platform/Clock.h"

// The system's clock in local time.
class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
