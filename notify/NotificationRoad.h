#pragma once

namespace quorvane {

class NotificationPopup;
class Poller;

// Hands the poller's notifications to the pop-up, and pauses polling while the pop-up is up.
void showNotificationsIn(NotificationPopup& popup, Poller& poller);

} // namespace quorvane
