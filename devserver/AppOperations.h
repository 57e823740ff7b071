#pragma once

#include "devserver/QueryItems.h"
#include "devserver/ReplyEnvelope.h"

#include <QString>
#include <QtGlobal>

class TAccountStore;
class TNotificationQueue;
class TSessionTable;

// The operations of the application server, each from the query items of its request to its
// reply. Missing or malformed items, unknown users, wrong passwords, bad tokens and a bad
// registration signature all give a failure reply with a message; nothing is raised.
class TAppOperations final
{
public:
    TAppOperations(TAccountStore& accounts, TSessionTable& sessions, TNotificationQueue& notifications);
    Q_DISABLE_COPY_MOVE(TAppOperations)

    TReplyEnvelope userLogin(const TQueryItems& items);
    TReplyEnvelope weiboLogin(const TQueryItems& items);
    TReplyEnvelope userRegister(const TQueryItems& items);
    TReplyEnvelope getInformationList(const TQueryItems& items);
    TReplyEnvelope changePassword(const TQueryItems& items);
    TReplyEnvelope shareInfo(const TQueryItems& items);

    // The registration signature the client computes: the user name, "_" and the password in
    // code page 936, scrambled with the registration key.
    static QByteArray registrationSignature(const QString& userName, const QString& password);

private:
    // The user name after checking that the items carry a token of that user.
    QString requireSession(const TQueryItems& items);
    QString startSession(const QString& userName);

    TAccountStore& m_accounts;
    TSessionTable& m_sessions;
    TNotificationQueue& m_notifications;
};
