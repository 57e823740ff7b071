#include "notify/NotificationRoad.h"

#include "notify/NotificationPopup.h"
#include "notify/Poller.h"

namespace quorvane {

void showNotificationsIn(NotificationPopup& popup, Poller& poller)
{
    // All three run on the user-interface thread, the first while the polling thread waits.
    QObject::connect(&poller, &Poller::notificationArrived, &popup, &NotificationPopup::showNotification);
    QObject::connect(&popup, &NotificationPopup::notificationStarted, &poller, &Poller::pausePolling);
    QObject::connect(&popup, &NotificationPopup::closed, &poller, &Poller::resumePolling);
}

} // namespace quorvane
