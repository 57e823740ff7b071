#include "devserver/NotificationQueue.h"

namespace {

constexpr qsizetype kMaxWaiting = 20;

} // namespace

TNotification TNotification::Welcome()
{
    return {QStringLiteral("/information/message?id=1"), 300, 220, 51};
}

TNotification TNotification::PriceAlert()
{
    return {QStringLiteral("/information/message?id=2"), 300, 220, 51};
}

void TNotificationQueue::Push(const QString& userName, const TNotification& notification)
{
    std::lock_guard lock(mutex_);
    PushLocked(userName.toLower(), notification);
}

void TNotificationQueue::PushOnce(const QString& userName, const TNotification& notification)
{
    std::lock_guard lock(mutex_);
    const QString key = userName.toLower();
    if (!waiting_.value(key).contains(notification))
        PushLocked(key, notification);
}

std::optional<TNotification> TNotificationQueue::Take(const QString& userName)
{
    std::lock_guard lock(mutex_);
    const auto it = waiting_.find(userName.toLower());
    if (it == waiting_.end() || it->isEmpty())
        return std::nullopt;
    return it->takeFirst();
}

void TNotificationQueue::PushLocked(const QString& key, const TNotification& notification)
{
    QList<TNotification>& list = waiting_[key];
    list.append(notification);
    if (list.size() > kMaxWaiting)
        list.removeFirst();
}
