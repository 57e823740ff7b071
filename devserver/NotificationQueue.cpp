#include "devserver/NotificationQueue.h"

namespace {

constexpr qsizetype kMaxWaiting = 20;

} // namespace

TNotification TNotification::welcome()
{
    return {QStringLiteral("/information/message?id=1"), 300, 220, 51};
}

TNotification TNotification::priceAlert()
{
    return {QStringLiteral("/information/message?id=2"), 300, 220, 51};
}

void TNotificationQueue::push(const QString& userName, const TNotification& notification)
{
    std::lock_guard lock(m_mutex);
    pushLocked(userName.toLower(), notification);
}

void TNotificationQueue::pushOnce(const QString& userName, const TNotification& notification)
{
    std::lock_guard lock(m_mutex);
    const QString key = userName.toLower();
    if (!m_waiting.value(key).contains(notification))
        pushLocked(key, notification);
}

std::optional<TNotification> TNotificationQueue::take(const QString& userName)
{
    std::lock_guard lock(m_mutex);
    const auto it = m_waiting.find(userName.toLower());
    if (it == m_waiting.end() || it->isEmpty())
        return std::nullopt;
    return it->takeFirst();
}

void TNotificationQueue::pushLocked(const QString& key, const TNotification& notification)
{
    QList<TNotification>& list = m_waiting[key];
    list.append(notification);
    if (list.size() > kMaxWaiting)
        list.removeFirst();
}
