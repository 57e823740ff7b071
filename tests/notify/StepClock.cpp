#include "tests/notify/StepClock.h"

StepClock::StepClock(uint32_t start, uint32_t workMs, std::function<void()> onSleep)
    : now_(start), workMs_(workMs), onSleep_(std::move(onSleep))
{
}

uint32_t StepClock::Now()
{
    std::lock_guard lock(mutex_);
    return now_;
}

void StepClock::Sleep(uint32_t ms)
{
    {
        std::lock_guard lock(mutex_);
        if (interrupted_)
            return;
    }
    if (onSleep_)
        onSleep_();
    std::unique_lock lock(mutex_);
    // Unsigned arithmetic wraps like the tick count.
    now_ += workMs_ + ms;
    const int mine = ++sleeps_;
    changed_.notify_all();
    changed_.wait(lock, [&] { return interrupted_ || released_ >= mine; });
}

void StepClock::Interrupt()
{
    {
        std::lock_guard lock(mutex_);
        interrupted_ = true;
    }
    changed_.notify_all();
}

int StepClock::Sleeps() const
{
    std::lock_guard lock(mutex_);
    return sleeps_;
}

void StepClock::Release()
{
    {
        std::lock_guard lock(mutex_);
        ++released_;
    }
    changed_.notify_all();
}
