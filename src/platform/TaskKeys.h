#pragma once

// The block of the system's task-switching keys while the program runs, and its release at exit.
class TaskKeys {
public:
    virtual ~TaskKeys() = default;
    // Blocks the task-switching key combinations; the two arguments are those of the classic call
    // (1, 23) and are kept for callers that pass them. The result carries no meaning for callers.
    virtual int disableTaskKeys(int enable, int keys) = 0;
    // Gives every blocked key back.
    virtual void release() = 0;
};
