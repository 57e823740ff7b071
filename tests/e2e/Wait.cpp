#include "tests/e2e/Wait.h"

#include <QElapsedTimer>
#include <QThread>

namespace quorvane {

bool waitFor(const std::function<bool()>& condition, int timeoutMs, int pollMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return condition();
        QThread::msleep(pollMs);
    }
    return true;
}

} // namespace quorvane
