#include "server/DataModule.h"

#include "config/SelvorConfig.h"
#include "platform/TickCount.h"
#include "server/ClientVersion.h"
#include "server/QueryEncoding.h"

TDMod* DMod = nullptr;

TDMod::TDMod(const THttpLimits& limits, TickSource tickCount)
    : m_tickCount(tickCount ? std::move(tickCount) : TickSource(&getTickCount32)),
      m_api(m_xmlDocument1, limits)
{
}

TDMod::~TDMod() = default;

TSelvorAPI& TDMod::getApi()
{
    return m_api;
}

APILoginResponse TDMod::login(const QString& userName, const QString& password)
{
    APILoginResponse response = m_api.userLogin(userName, password);
    if (response.code == 0) {
        std::lock_guard lock(m_sessionMutex);
        m_token = response.token;
        m_userName = userName;
        m_role = response.role;
        m_loginTick = m_tickCount();
        m_accountLogin = true;
    }
    return response;
}

APILoginResponse TDMod::weiboLogin(const QString& userName, const QString& password)
{
    APILoginResponse response = m_api.weiboLogin(userName, password);
    if (response.code == 0) {
        std::lock_guard lock(m_sessionMutex);
        m_token = response.token;
        m_userName = userName;
        m_loginTick = m_tickCount();
        m_accountLogin = false;
    }
    return response;
}

APIResponse TDMod::registerAccount(const QString& userName, const QString& password)
{
    APIResponse response = m_api.userRegister(userName, password);
    if (response.success) {
        std::lock_guard lock(m_sessionMutex);
        m_token = response.token;
        m_userName = userName;
        m_loginTick = m_tickCount();
    }
    return response;
}

QString TDMod::getMainUrl() const
{
    std::lock_guard lock(m_sessionMutex);
    return TSelvorConfig().getAppUrl() + QStringLiteral("/users/validateUser?userName=") +
           encodeQueryValue(m_userName) + QStringLiteral("&token=") + encodeQueryValue(m_token) +
           QStringLiteral("&v=") + encodeQueryValue(CLIENT_VERSION);
}

QString TDMod::getFeedbackUrl() const
{
    std::lock_guard lock(m_sessionMutex);
    return TSelvorConfig().getAppUrl() + QStringLiteral("/users/opinion?userName=") +
           encodeQueryValue(m_userName) + QStringLiteral("&token=") + encodeQueryValue(m_token);
}

APIResponse TDMod::getInformationList()
{
    return m_api.getInformationList(getUserName(), getToken(), getLoginElapsed());
}

void TDMod::shareInfo(const QString& shareType)
{
    m_api.shareInfo(getUserName(), getToken(), shareType);
}

QString TDMod::getUserName() const
{
    std::lock_guard lock(m_sessionMutex);
    return m_userName;
}

QString TDMod::getToken() const
{
    std::lock_guard lock(m_sessionMutex);
    return m_token;
}

bool TDMod::isLoggedIn() const
{
    std::lock_guard lock(m_sessionMutex);
    return m_token != QLatin1String("0") && !m_token.isEmpty();
}

bool TDMod::isCertified() const
{
    std::lock_guard lock(m_sessionMutex);
    return m_role == QLatin1String("2");
}

bool TDMod::isAccountLogin() const
{
    std::lock_guard lock(m_sessionMutex);
    return m_accountLogin;
}

int TDMod::getLoginElapsed() const
{
    uint32_t since = 0;
    {
        std::lock_guard lock(m_sessionMutex);
        since = m_loginTick;
    }
    // Unsigned subtraction wraps modulo 2^32 like the tick counter itself.
    return static_cast<int32_t>(m_tickCount() - since);
}

void TDMod::abortRequests()
{
    m_api.abort();
}
