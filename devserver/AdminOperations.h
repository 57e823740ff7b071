#pragma once

#include "devserver/QueryItems.h"
#include "devserver/ReplyEnvelope.h"

#include <QtGlobal>

class TAccountStore;
class TNotificationQueue;

// What tests and the demo do to the server from outside: queue a notification for a user.
class TAdminOperations final
{
public:
    TAdminOperations(TAccountStore& accounts, TNotificationQueue& notifications);
    Q_DISABLE_COPY_MOVE(TAdminOperations)

    // /admin/notify?userName=U[&url=PATH][&width=W][&height=H][&title_height=T]: the next poll of
    // user U answers this notification. PATH (percent-encoded, below the application URL, starting
    // with "/") defaults to the price-alert page; the sizes default to the price alert's.
    TReplyEnvelope queueNotification(const TQueryItems& items);

private:
    TAccountStore& m_accounts;
    TNotificationQueue& m_notifications;
};
