#include "server/DataModule.h"

#include "config/SelvorConfig.h"
#include "platform/TickCount.h"
#include "server/ClientVersion.h"
#include "server/QueryEncoding.h"

TDMod* DMod = nullptr;

TDMod::TDMod(const THttpLimits& limits, TickSource tickCount)
    : tickCount_(tickCount ? std::move(tickCount) : TickSource(&GetTickCount32)), api_(XMLDocument1, limits)
{
}

TDMod::~TDMod() = default;

TSelvorAPI& TDMod::GetAPI()
{
    return api_;
}

APILoginResponse TDMod::Login(const QString& userName, const QString& password)
{
    APILoginResponse response = api_.userLogin(userName, password);
    if (response.code == 0) {
        std::lock_guard lock(sessionMutex_);
        token_ = response.token;
        userName_ = userName;
        role_ = response.role;
        loginTick_ = tickCount_();
        accountLogin_ = true;
    }
    return response;
}

APILoginResponse TDMod::WeiboLogin(const QString& userName, const QString& password)
{
    APILoginResponse response = api_.weiboLogin(userName, password);
    if (response.code == 0) {
        std::lock_guard lock(sessionMutex_);
        token_ = response.token;
        userName_ = userName;
        loginTick_ = tickCount_();
        accountLogin_ = false;
    }
    return response;
}

APIResponse TDMod::Register(const QString& userName, const QString& password)
{
    APIResponse response = api_.userRegister(userName, password);
    if (response.success) {
        std::lock_guard lock(sessionMutex_);
        token_ = response.token;
        userName_ = userName;
        loginTick_ = tickCount_();
    }
    return response;
}

QString TDMod::GetMainUrl() const
{
    std::lock_guard lock(sessionMutex_);
    return TSelvorConfig().GetAppUrl() + QStringLiteral("/users/validateUser?userName=") +
           EncodeQueryValue(userName_) + QStringLiteral("&token=") + EncodeQueryValue(token_) +
           QStringLiteral("&v=") + EncodeQueryValue(CLIENT_VERSION);
}

QString TDMod::GetFeedbackUrl() const
{
    std::lock_guard lock(sessionMutex_);
    return TSelvorConfig().GetAppUrl() + QStringLiteral("/users/opinion?userName=") +
           EncodeQueryValue(userName_) + QStringLiteral("&token=") + EncodeQueryValue(token_);
}

APIResponse TDMod::GetInformationList()
{
    return api_.getInformationList(GetUserName(), GetToken(), GetLoginElapsed());
}

void TDMod::ShareInfo(const QString& shareType)
{
    api_.shareInfo(GetUserName(), GetToken(), shareType);
}

QString TDMod::GetUserName() const
{
    std::lock_guard lock(sessionMutex_);
    return userName_;
}

QString TDMod::GetToken() const
{
    std::lock_guard lock(sessionMutex_);
    return token_;
}

bool TDMod::IsLoggedIn() const
{
    std::lock_guard lock(sessionMutex_);
    return token_ != QLatin1String("0") && !token_.isEmpty();
}

bool TDMod::IsCertified() const
{
    std::lock_guard lock(sessionMutex_);
    return role_ == QLatin1String("2");
}

bool TDMod::IsAccountLogin() const
{
    std::lock_guard lock(sessionMutex_);
    return accountLogin_;
}

int TDMod::GetLoginElapsed() const
{
    uint32_t since = 0;
    {
        std::lock_guard lock(sessionMutex_);
        since = loginTick_;
    }
    // Unsigned subtraction wraps modulo 2^32 like the tick counter itself.
    return static_cast<int32_t>(tickCount_() - since);
}

void TDMod::AbortRequests()
{
    api_.Abort();
}
