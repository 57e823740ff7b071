#pragma once

#include "server/APILoginResponse.h"
#include "server/APIResponse.h"
#include "server/HttpClient.h"
#include "server/SelvorAPI.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <mutex>
#include <pugixml.hpp>

// The session: owns the server client and the document its replies are loaded into, remembers
// the signed-in user, and builds the signed-in URLs. One instance, DMod, lives for the whole run.
class TDMod final
{
    Q_DISABLE_COPY_MOVE(TDMod)

public:
    using TickSource = std::function<uint32_t()>;

    // `limits` and `tickCount` let tests shorten the time limits and drive the clock.
    explicit TDMod(const THttpLimits& limits = {}, TickSource tickCount = {});
    ~TDMod();

    // The server client, still owned here.
    TSelvorAPI& GetAPI();

    APILoginResponse Login(const QString& userName, const QString& password);
    APILoginResponse WeiboLogin(const QString& userName, const QString& password);
    APIResponse Register(const QString& userName, const QString& password);

    QString GetMainUrl() const;
    QString GetFeedbackUrl() const;

    // The notification poll, with the milliseconds since sign-in.
    APIResponse GetInformationList();
    // Reports a completed share; the server's answer is of no interest.
    void ShareInfo(const QString& shareType);

    QString GetUserName() const;
    QString GetToken() const;
    bool IsLoggedIn() const;
    // Only the role text "2" exactly is a certified enterprise account.
    bool IsCertified() const;
    bool IsAccountLogin() const;
    // Milliseconds since the last sign-in, modulo 2^32, as a signed number.
    int GetLoginElapsed() const;

    // Thread-safe: cuts a running request short and makes later ones fail at once, so that
    // the polling thread can be joined without waiting for the server when the client ends.
    void AbortRequests();

private:
    TickSource tickCount_;
    pugi::xml_document XMLDocument1;
    TSelvorAPI api_;

    // Written on the user-interface thread, read by the polling thread as well.
    mutable std::mutex sessionMutex_;
    QString userName_;
    QString token_ = QStringLiteral("0");
    uint32_t loginTick_ = 0;
    QString role_ = QStringLiteral("1");
    bool accountLogin_ = true;
};

// The one session of the process; created first by the start-up sequence, empty before and after.
extern TDMod* DMod;
