#include "tests/support/WindowRequests.h"

#include "tests/support/TestApplication.h"
#include "ui/chrome/RequestRunner.h"

#include <QApplication>
#include <QWidget>

namespace quorvane {

namespace {

bool anyRequestRunning()
{
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        for (const RequestRunner* runner : window->findChildren<RequestRunner*>()) {
            if (runner->running())
                return true;
        }
    }
    return false;
}

} // namespace

bool waitForWindowRequests(int timeoutMs)
{
    return waitUntil([] { return !anyRequestRunning(); }, timeoutMs);
}

} // namespace quorvane
