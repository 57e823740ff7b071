#pragma once

#include "notify/PollClock.h"

#include <condition_variable>
#include <functional>
#include <mutex>

// A clock for the polling thread that the test moves on. Each sleep adds the cycle's work time
// and the interval to the clock, reports itself, and then holds the thread until the test
// releases it, so the test sees the thread between two cycles and may change what the next one
// finds.
class StepClock final : public TPollClock
{
public:
    // `onSleep` runs on the polling thread as each sleep begins.
    StepClock(uint32_t start, uint32_t workMs, std::function<void()> onSleep = {});

    uint32_t Now() override;
    void Sleep(uint32_t ms) override;
    void Interrupt() override;

    // The sleeps begun so far: the thread is in its n-th sleep once this is n.
    int Sleeps() const;
    // Lets the thread out of its current sleep into the next cycle.
    void Release();

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    uint32_t now_;
    uint32_t workMs_;
    std::function<void()> onSleep_;
    int sleeps_ = 0;
    int released_ = 0;
    bool interrupted_ = false;
};
