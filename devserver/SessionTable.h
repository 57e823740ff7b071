#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <mutex>
#include <optional>

namespace quorvane {

// The tokens handed out at sign-in, random per sign-in and kept in memory only: after a restart
// every user signs in again. Safe to use from several threads.
class SessionTable final
{
public:
    SessionTable() = default;
    Q_DISABLE_COPY_MOVE(SessionTable)

    // A new token for the user. A user keeps a few recent tokens, so a second client
    // does not sign out the first.
    QString open(const QString& userName);

    // True when the token was handed to this user (names compare without regard to case).
    bool isValid(const QString& userName, const QString& token) const;

    // The user a token belongs to.
    std::optional<QString> userOf(const QString& token) const;

private:
    mutable std::mutex m_mutex;
    QHash<QString, QString> m_users;      // token -> user name
    QHash<QString, QStringList> m_tokens; // lower-case user name -> tokens, oldest first
};

} // namespace quorvane
