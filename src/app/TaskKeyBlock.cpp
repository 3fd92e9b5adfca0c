#include "app/TaskKeyBlock.h"

#include "platform/TaskKeys.h"

void TaskKeyBlock::block()
{
    if (m_blocked)
        return;
    m_blocked = true;
    m_taskKeys.disableTaskKeys(1, 23);
}

void TaskKeyBlock::release()
{
    m_taskKeys.release();
}

void TaskKeyBlock::setScreenSaverRunning(bool running)
{
    if (running)
        m_taskKeys.disableTaskKeys(1, 23);
    else if (!m_blocked)
        m_taskKeys.release();
}
