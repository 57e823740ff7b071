#include "server/Session.h"

#include "config/ConfigStore.h"
#include "platform/TickCount.h"
#include "server/ClientVersion.h"
#include "server/QueryEncoding.h"

namespace quorvane {

Session::Session(const HttpLimits& limits, TickSource tickCount)
    : m_tickCount(tickCount ? std::move(tickCount) : TickSource(&getTickCount32)),
      m_api(m_xmlDocument1, limits)
{
}

Session::~Session() = default;

ServerApi& Session::getApi()
{
    return m_api;
}

LoginReply Session::login(const QString& userName, const QString& password)
{
    LoginReply response = m_api.userLogin(userName, password);
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

LoginReply Session::weiboLogin(const QString& userName, const QString& password)
{
    LoginReply response = m_api.weiboLogin(userName, password);
    if (response.code == 0) {
        std::lock_guard lock(m_sessionMutex);
        m_token = response.token;
        m_userName = userName;
        m_loginTick = m_tickCount();
        m_accountLogin = false;
    }
    return response;
}

Reply Session::registerAccount(const QString& userName, const QString& password)
{
    Reply response = m_api.userRegister(userName, password);
    if (response.success) {
        std::lock_guard lock(m_sessionMutex);
        m_token = response.token;
        m_userName = userName;
        m_loginTick = m_tickCount();
    }
    return response;
}

QString Session::getMainUrl() const
{
    std::lock_guard lock(m_sessionMutex);
    return ConfigStore().getAppUrl() + QStringLiteral("/users/validateUser?userName=") +
           encodeQueryValue(m_userName) + QStringLiteral("&token=") + encodeQueryValue(m_token) +
           QStringLiteral("&v=") + encodeQueryValue(CLIENT_VERSION);
}

QString Session::getFeedbackUrl() const
{
    std::lock_guard lock(m_sessionMutex);
    return ConfigStore().getAppUrl() + QStringLiteral("/users/opinion?userName=") +
           encodeQueryValue(m_userName) + QStringLiteral("&token=") + encodeQueryValue(m_token);
}

Reply Session::getInformationList()
{
    return m_api.getInformationList(getUserName(), getToken(), getLoginElapsed());
}

void Session::shareInfo(const QString& shareType)
{
    m_api.shareInfo(getUserName(), getToken(), shareType);
}

QString Session::getUserName() const
{
    std::lock_guard lock(m_sessionMutex);
    return m_userName;
}

QString Session::getToken() const
{
    std::lock_guard lock(m_sessionMutex);
    return m_token;
}

bool Session::isLoggedIn() const
{
    std::lock_guard lock(m_sessionMutex);
    return m_token != QLatin1String("0") && !m_token.isEmpty();
}

bool Session::isCertified() const
{
    std::lock_guard lock(m_sessionMutex);
    return m_role == QLatin1String("2");
}

bool Session::isAccountLogin() const
{
    std::lock_guard lock(m_sessionMutex);
    return m_accountLogin;
}

int Session::getLoginElapsed() const
{
    uint32_t since = 0;
    {
        std::lock_guard lock(m_sessionMutex);
        since = m_loginTick;
    }
    // Unsigned subtraction wraps modulo 2^32 like the tick counter itself.
    return static_cast<int32_t>(m_tickCount() - since);
}

void Session::abortRequests()
{
    m_api.abort();
}

} // namespace quorvane
