#pragma once

#include "platform/TaskKeys.h"

// The task-key block where the program cannot grab keys for the whole desktop (no X server):
// nothing is blocked, so nothing is given back either.
class NoTaskKeys final : public TaskKeys {
public:
    int disableTaskKeys(int, int) override { return 0; }
    void release() override {}
};
