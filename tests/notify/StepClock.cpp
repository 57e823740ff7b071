#include "tests/notify/StepClock.h"

namespace quorvane {

StepClock::StepClock(uint32_t start, uint32_t workMs, std::function<void()> onSleep)
    : m_now(start), m_workMs(workMs), m_onSleep(std::move(onSleep))
{
}

uint32_t StepClock::now()
{
    std::lock_guard lock(m_mutex);
    return m_now;
}

void StepClock::sleep(uint32_t ms)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_interrupted)
            return;
    }
    if (m_onSleep)
        m_onSleep();
    std::unique_lock lock(m_mutex);
    // Unsigned arithmetic wraps like the tick count.
    m_now += m_workMs + ms;
    const int mine = ++m_sleeps;
    m_changed.notify_all();
    m_changed.wait(lock, [&] { return m_interrupted || m_released >= mine; });
}

void StepClock::interrupt()
{
    {
        std::lock_guard lock(m_mutex);
        m_interrupted = true;
    }
    m_changed.notify_all();
}

void StepClock::wake()
{
    release();
}

int StepClock::sleeps() const
{
    std::lock_guard lock(m_mutex);
    return m_sleeps;
}

void StepClock::release()
{
    {
        std::lock_guard lock(m_mutex);
        ++m_released;
    }
    m_changed.notify_all();
}

} // namespace quorvane
