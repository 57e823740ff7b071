#pragma once

#include "devserver/QueryItems.h"
#include "devserver/ReplyEnvelope.h"

#include <QtGlobal>

namespace quorvane {

class AccountStore;
class NotificationQueue;

// What tests and the demo do to the server from outside: queue a notification for a user.
class AdminOperations final
{
public:
    AdminOperations(AccountStore& accounts, NotificationQueue& notifications);
    Q_DISABLE_COPY_MOVE(AdminOperations)

    // /admin/notify?userName=U[&url=PATH][&width=W][&height=H][&title_height=T]: the next poll of
    // user U answers this notification. PATH (percent-encoded, below the application URL, starting
    // with "/") defaults to the price-alert page; the sizes default to the price alert's.
    ReplyEnvelope queueNotification(const QueryItems& items);

private:
    AccountStore& m_accounts;
    NotificationQueue& m_notifications;
};

} // namespace quorvane
