#pragma once

#include <QtGlobal>

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace quorvane {

// The time the polling thread lives by: the millisecond tick count and the sleep between two
// cycles. The client uses the system's; tests drive a clock of their own so that no test waits
// two minutes for a cycle.
class PollClock
{
public:
    virtual ~PollClock();

    // Milliseconds since some fixed moment, wrapping around at 2^32 like the tick counter.
    virtual uint32_t now() = 0;
    // Waits `ms` milliseconds; returns at once, now and for every later call, once Interrupt has
    // been called.
    virtual void sleep(uint32_t ms) = 0;
    // Cuts the running and every later Sleep short. Safe from any thread.
    virtual void interrupt() = 0;
    // Cuts the running sleep short, or the next one if none runs; later ones last as asked. Safe
    // from any thread.
    virtual void wake() = 0;
};

// The system's tick counter and a sleep that Interrupt ends early.
class SystemPollClock final : public PollClock
{
    Q_DISABLE_COPY_MOVE(SystemPollClock)

public:
    SystemPollClock();
    ~SystemPollClock() override;

    uint32_t now() override;
    void sleep(uint32_t ms) override;
    void interrupt() override;
    void wake() override;

private:
    std::mutex m_mutex;
    std::condition_variable m_interrupted;
    bool m_interrupt = false;
    bool m_wake = false;
};

} // namespace quorvane
