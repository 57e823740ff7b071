#pragma once

#include "server/HttpClient.h"
#include "server/LoginReply.h"
#include "server/Reply.h"
#include "server/ServerApi.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <mutex>
#include <pugixml.hpp>

namespace quorvane {

// The session: owns the server client and the document its replies are loaded into, remembers
// the signed-in user, and builds the signed-in URLs. The client owns the one instance of a run.
class Session final
{
    Q_DISABLE_COPY_MOVE(Session)

public:
    using TickSource = std::function<uint32_t()>;

    // `limits` and `tickCount` let tests shorten the time limits and drive the clock.
    explicit Session(const HttpLimits& limits = {}, TickSource tickCount = {});
    ~Session();

    // The server client, still owned here.
    ServerApi& getApi();

    LoginReply login(const QString& userName, const QString& password);
    LoginReply weiboLogin(const QString& userName, const QString& password);
    Reply registerAccount(const QString& userName, const QString& password);

    QString getMainUrl() const;
    QString getFeedbackUrl() const;

    // The notification poll, with the milliseconds since sign-in.
    Reply getInformationList();
    // Reports a completed share; the server's answer is of no interest.
    void shareInfo(const QString& shareType);

    QString getUserName() const;
    QString getToken() const;
    bool isLoggedIn() const;
    // Only the role text "2" exactly is a certified enterprise account.
    bool isCertified() const;
    bool isAccountLogin() const;
    // Milliseconds since the last sign-in, modulo 2^32, as a signed number.
    int getLoginElapsed() const;

    // Thread-safe: cuts a running request short and makes later ones fail at once, so that
    // the polling thread can be joined without waiting for the server when the client ends.
    void abortRequests();

private:
    TickSource m_tickCount;
    pugi::xml_document m_xmlDocument1;
    ServerApi m_api;

    // Written on the user-interface thread, read by the polling thread as well.
    mutable std::mutex m_sessionMutex;
    QString m_userName;
    QString m_token = QStringLiteral("0");
    uint32_t m_loginTick = 0;
    QString m_role = QStringLiteral("1");
    bool m_accountLogin = true;
};

} // namespace quorvane
