#include "notify/PollClock.h"

#include "platform/TickCount.h"

#include <chrono>

TPollClock::~TPollClock() = default;

TSystemPollClock::TSystemPollClock() = default;

TSystemPollClock::~TSystemPollClock() = default;

uint32_t TSystemPollClock::Now()
{
    return GetTickCount32();
}

void TSystemPollClock::Sleep(uint32_t ms)
{
    std::unique_lock lock(mutex_);
    interrupted_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return interrupt_; });
}

void TSystemPollClock::Interrupt()
{
    {
        std::lock_guard lock(mutex_);
        interrupt_ = true;
    }
    interrupted_.notify_all();
}
