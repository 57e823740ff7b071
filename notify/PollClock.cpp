#include "notify/PollClock.h"

#include "platform/TickCount.h"

#include <chrono>

TPollClock::~TPollClock() = default;

TSystemPollClock::TSystemPollClock() = default;

TSystemPollClock::~TSystemPollClock() = default;

uint32_t TSystemPollClock::now()
{
    return getTickCount32();
}

void TSystemPollClock::sleep(uint32_t ms)
{
    std::unique_lock lock(m_mutex);
    m_interrupted.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_interrupt; });
}

void TSystemPollClock::interrupt()
{
    {
        std::lock_guard lock(m_mutex);
        m_interrupt = true;
    }
    m_interrupted.notify_all();
}
