#pragma once

#include "platform/Clock.h"

// A clock for tests: it shows the moment the test sets, local time.
class FakeClock final : public Clock {
public:
    void set(const QDateTime& moment) { m_now = moment; }
    QDateTime now() const override { return m_now; }

private:
    QDateTime m_now = QDateTime(QDate(2027, 3, 5), QTime(9, 7, 4));
};
