#pragma once

#include "devserver/QueryItems.h"
#include "devserver/ReplyEnvelope.h"

#include <QString>
#include <QtGlobal>

namespace quorvane {

class AccountStore;
class NotificationQueue;
class SessionTable;

// The operations of the application server, each from the query items of its request to its
// reply. Missing or malformed items, unknown users, wrong passwords, bad tokens and a bad
// registration signature all give a failure reply with a message; nothing is raised.
class AppOperations final
{
public:
    AppOperations(AccountStore& accounts, SessionTable& sessions, NotificationQueue& notifications);
    Q_DISABLE_COPY_MOVE(AppOperations)

    ReplyEnvelope userLogin(const QueryItems& items);
    ReplyEnvelope weiboLogin(const QueryItems& items);
    ReplyEnvelope userRegister(const QueryItems& items);
    ReplyEnvelope getInformationList(const QueryItems& items);
    ReplyEnvelope changePassword(const QueryItems& items);
    ReplyEnvelope shareInfo(const QueryItems& items);

    // The registration signature the client computes: the user name, "_" and the password in
    // code page 936, scrambled with the registration key.
    static QByteArray registrationSignature(const QString& userName, const QString& password);

private:
    // The user name after checking that the items carry a token of that user.
    QString requireSession(const QueryItems& items);
    QString startSession(const QString& userName);

    AccountStore& m_accounts;
    SessionTable& m_sessions;
    NotificationQueue& m_notifications;
};

} // namespace quorvane
