#pragma once

namespace quorvane {

// The growing wait between two sign-in attempts while the server cannot be reached: twice as
// long each time (2, 4, 8 … s), never longer than the longest.
class RetryDelay final
{
public:
    RetryDelay() : RetryDelay(2000, 60000) {}
    RetryDelay(int firstMs, int longestMs) : m_firstMs(firstMs), m_longestMs(longestMs) {}

    // The wait before the next attempt; each call doubles the one after it.
    int next()
    {
        const int delay = m_nextMs;
        m_nextMs = m_nextMs > m_longestMs / 2 ? m_longestMs : m_nextMs * 2;
        return delay;
    }
    // Starts again from the first wait.
    void reset() { m_nextMs = m_firstMs; }

private:
    int m_firstMs;
    int m_longestMs;
    int m_nextMs = m_firstMs;
};

} // namespace quorvane
