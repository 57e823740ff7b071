#include "devserver/NotificationQueue.h"

namespace quorvane {

namespace {

constexpr qsizetype kMaxWaiting = 20;

} // namespace

Notification Notification::welcome()
{
    return {QStringLiteral("/information/message?id=1"), 300, 220, 51};
}

Notification Notification::priceAlert()
{
    return {QStringLiteral("/information/message?id=2"), 300, 220, 51};
}

void NotificationQueue::push(const QString& userName, const Notification& notification)
{
    std::lock_guard lock(m_mutex);
    pushLocked(userName.toLower(), notification);
}

void NotificationQueue::pushOnce(const QString& userName, const Notification& notification)
{
    std::lock_guard lock(m_mutex);
    const QString key = userName.toLower();
    if (!m_waiting.value(key).contains(notification))
        pushLocked(key, notification);
}

std::optional<Notification> NotificationQueue::take(const QString& userName)
{
    std::lock_guard lock(m_mutex);
    const auto it = m_waiting.find(userName.toLower());
    if (it == m_waiting.end() || it->isEmpty())
        return std::nullopt;
    return it->takeFirst();
}

void NotificationQueue::pushLocked(const QString& key, const Notification& notification)
{
    QList<Notification>& list = m_waiting[key];
    list.append(notification);
    if (list.size() > kMaxWaiting)
        list.removeFirst();
}

} // namespace quorvane
