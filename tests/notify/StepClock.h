#pragma once

#include "notify/PollClock.h"

#include <condition_variable>
#include <functional>
#include <mutex>

namespace quorvane {

// A clock for the polling thread that the test moves on. Each sleep adds the cycle's work time
// and the interval to the clock, reports itself, and then holds the thread until the test
// releases it, so the test sees the thread between two cycles and may change what the next one
// finds.
class StepClock final : public PollClock
{
public:
    // `onSleep` runs on the polling thread as each sleep begins.
    StepClock(uint32_t start, uint32_t workMs, std::function<void()> onSleep = {});

    uint32_t now() override;
    void sleep(uint32_t ms) override;
    void interrupt() override;
    // Lets the thread out of its current sleep, as release() does.
    void wake() override;

    // The sleeps begun so far: the thread is in its n-th sleep once this is n.
    int sleeps() const;
    // Lets the thread out of its current sleep into the next cycle.
    void release();

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    uint32_t m_now;
    uint32_t m_workMs;
    std::function<void()> m_onSleep;
    int m_sleeps = 0;
    int m_released = 0;
    bool m_interrupted = false;
};

} // namespace quorvane
