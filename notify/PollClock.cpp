#include "notify/PollClock.h"

#include "platform/TickCount.h"

#include <chrono>

namespace quorvane {

PollClock::~PollClock() = default;

SystemPollClock::SystemPollClock() = default;

SystemPollClock::~SystemPollClock() = default;

uint32_t SystemPollClock::now()
{
    return getTickCount32();
}

void SystemPollClock::sleep(uint32_t ms)
{
    std::unique_lock lock(m_mutex);
    m_interrupted.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_interrupt || m_wake; });
    m_wake = false;
}

void SystemPollClock::wake()
{
    {
        std::lock_guard lock(m_mutex);
        m_wake = true;
    }
    m_interrupted.notify_all();
}

void SystemPollClock::interrupt()
{
    {
        std::lock_guard lock(m_mutex);
        m_interrupt = true;
    }
    m_interrupted.notify_all();
}

} // namespace quorvane
