#pragma once

class TaskKeys;

// Whether the system's task-switching keys are blocked for the program. They are blocked once at
// start-up and again on request after the system gave them back; blocking twice asks nothing.
class TaskKeyBlock {
public:
    explicit TaskKeyBlock(TaskKeys& taskKeys) : m_taskKeys(taskKeys) {}

    bool isBlocked() const { return m_blocked; }
    void block();
    // Gives the keys back, as the program does when it ends.
    void release();
    // The screen-saver switch of the text-line panel: on, it blocks the keys as well; off, it gives
    // them back unless the program's own block holds them.
    void setScreenSaverRunning(bool running);

private:
    TaskKeys& m_taskKeys;
    bool m_blocked = false;
};
