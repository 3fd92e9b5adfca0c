#pragma once

#include "platform/TaskKeys.h"

#include <QList>

// Task keys for tests: counts every disable call with its arguments and every release.
class FakeTaskKeys final : public TaskKeys {
public:
    struct DisableCall {
        int enable;
        int keys;
    };

    QList<DisableCall> disableCalls() const { return m_disableCalls; }
    int releases() const { return m_releases; }

    int disableTaskKeys(int enable, int keys) override
    {
        m_disableCalls.append({enable, keys});
        return 1;
    }
    void release() override { ++m_releases; }

private:
    QList<DisableCall> m_disableCalls;
    int m_releases = 0;
};
