#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <mutex>
#include <optional>

namespace quorvane {

// A notification as the poll hands it out: a page below the application URL and the pop-up's size.
struct Notification
{
    QString path;
    int width = 300;
    int height = 220;
    int titleHeight = 51;

    bool operator==(const Notification&) const = default;

    // The greeting every sign-in leaves for the next poll.
    static Notification welcome();
    // The price alert the admin URL queues when it names no page.
    static Notification priceAlert();
};

// Notifications waiting per user, handed out one per poll. Safe to use from several threads.
class NotificationQueue final
{
public:
    NotificationQueue() = default;
    Q_DISABLE_COPY_MOVE(NotificationQueue)

    // Queues a notification; a user holds at most a small number, the oldest go first.
    void push(const QString& userName, const Notification& notification);

    // Queues the notification unless the same one is already waiting.
    void pushOnce(const QString& userName, const Notification& notification);

    std::optional<Notification> take(const QString& userName);

private:
    void pushLocked(const QString& key, const Notification& notification);

    std::mutex m_mutex;
    QHash<QString, QList<Notification>> m_waiting; // lower-case user name -> oldest first
};

} // namespace quorvane
