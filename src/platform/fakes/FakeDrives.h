#pragma once

#include "platform/Drives.h"

#include <algorithm>

// Drives for tests: exactly the drives the test sets, in letter order.
class FakeDrives final : public Drives {
public:
    void setDrives(QList<Drive> drives)
    {
        std::sort(drives.begin(), drives.end(),
                  [](const Drive& a, const Drive& b) { return a.letter < b.letter; });
        m_drives = std::move(drives);
    }

    QList<Drive> list() override { return m_drives; }

private:
    QList<Drive> m_drives;
};
