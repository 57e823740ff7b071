#include "server/ServerApi.h"

#include "config/ConfigStore.h"
#include "config/Util.h"
#include "platform/AnsiCodePage.h"
#include "platform/Failure.h"
#include "server/ClientVersion.h"
#include "server/QueryEncoding.h"
#include "server/RequestCancel.h"
#include "server/RequestFailures.h"
#include "server/XmlReply.h"

#include <chrono>
#include <limits>
#include <thread>

namespace quorvane {

namespace {

const QByteArray kRegisterKey = QByteArrayLiteral("pRelMoK4vda");
const QString kNone = QStringLiteral("0");

// Decimal digits with an optional sign, within the 32-bit range.
bool parseInteger(const QString& text, bool allowPlus, int& value)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || (allowPlus && text[i] == QLatin1Char('+')))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    if (i == text.size())
        return false;
    qint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        magnitude = magnitude * 10 + (c.unicode() - '0');
        if (magnitude > qint64(std::numeric_limits<int>::max()) + 1)
            return false;
    }
    const qint64 result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<int>::max())
        return false;
    value = static_cast<int>(result);
    return true;
}

// A size of the notification reply; blanks around the number are allowed.
int toSize(const QString& text)
{
    int value = 0;
    if (!parseInteger(text.trimmed(), true, value))
        throw Failure(
            QStringLiteral("The server sent \"%1\" where a number was expected").arg(text.left(100)));
    return value;
}

QString item(const char* key, const QString& value)
{
    return QLatin1Char('&') + QLatin1String(key) + QLatin1Char('=') + encodeQueryValue(value);
}

QString appUrl()
{
    return ConfigStore().getAppUrl();
}

} // namespace

ServerApi::ServerApi(pugi::xml_document& xmlDocument, const HttpLimits& limits)
    : m_limits(limits), m_httpClient(std::make_unique<HttpClient>(limits)), m_xmlDocument(xmlDocument)
{
}

ServerApi::~ServerApi() = default;

void ServerApi::invokeRemote(pugi::xml_document& document, const QString& url)
{
    std::lock_guard lock(m_operationMutex);
    QByteArray body;
    try {
        {
            const CancelAttachment attachment(*m_httpClient);
            body = m_httpClient->get(url);
        }
        // A cancel that came after the reply has still marked the HTTP client aborted.
        const RequestCancel* cancel = RequestCancelScope::current();
        if (cancel && cancel->cancelled())
            throw RequestCancelled(QStringLiteral("The request was cancelled"));
    } catch (...) {
        replaceHttpClient();
        throw;
    }
    loadReply(document, body);
}

void ServerApi::loadReply(pugi::xml_document& document, const QByteArray& body)
{
    std::lock_guard lock(m_operationMutex);
    quorvane::loadReply(document, body);
}

QString ServerApi::getNodeText(const pugi::xml_document& document, const QString& path)
{
    std::lock_guard lock(m_operationMutex);
    return nodeText(document, path);
}

bool ServerApi::isSuccess(const pugi::xml_document& document)
{
    return getNodeText(document, QStringLiteral("/responsed/code")) == QLatin1String("0");
}

int ServerApi::getResultCode(const pugi::xml_document& document)
{
    const QString code = getNodeText(document, QStringLiteral("/responsed/code"));
    int value = 0;
    return parseInteger(code, false, value) ? value : -1;
}

LoginReply ServerApi::userLogin(const QString& userName, const QString& password)
{
    const auto lock = lockOperation();
    invokeRemote(m_xmlDocument, appUrl() + QStringLiteral("/users/userLogin?format=xml") +
                                    item("userName", userName) + item("password", password));
    return readLoginReply(true);
}

LoginReply ServerApi::weiboLogin(const QString& userName, const QString& password)
{
    const auto lock = lockOperation();
    invokeRemote(m_xmlDocument, appUrl() + QStringLiteral("/users/weiboLogin?format=xml") +
                                    item("userName", userName) + item("password", password));
    return readLoginReply(false);
}

Reply ServerApi::userRegister(const QString& userName, const QString& password)
{
    const auto lock = lockOperation();
    const QString signature =
        QString::fromLatin1(scrambleText(kRegisterKey, toAnsi(userName + QLatin1Char('_') + password)));
    invokeRemote(m_xmlDocument, appUrl() + QStringLiteral("/users/userRegister?format=xml") +
                                    item("userName", userName) + item("password", password) +
                                    item("sn", signature));
    return readRegisterReply();
}

Reply ServerApi::getInformationList(const QString& userName, const QString& token, int ot)
{
    const auto lock = lockOperation();
    const QString root = appUrl();
    invokeRemote(m_xmlDocument, root + QStringLiteral("/information/getInformationList?format=xml&v=") +
                                    encodeQueryValue(CLIENT_VERSION) + item("userName", userName) +
                                    item("token", token) + item("ot", QString::number(ot)));
    return readInformationReply(root);
}

QString ServerApi::changePassword(const QString& userName, const QString& oldPassword,
                                  const QString& newPassword, const QString& token)
{
    const auto lock = lockOperation();
    invokeRemote(m_xmlDocument, appUrl() + QStringLiteral("/users/changePassword?format=xml") +
                                    item("userName", userName) + item("oldPassword", oldPassword) +
                                    item("newPassword", newPassword) + item("token", token));
    return readMessageReply();
}

QString ServerApi::shareInfo(const QString& userName, const QString& token, const QString& shareType)
{
    const auto lock = lockOperation();
    invokeRemote(m_xmlDocument, appUrl() + QStringLiteral("/personalcenter/shareInfo?format=xml") +
                                    item("userName", userName) + item("token", token) +
                                    item("shareType", shareType));
    return readMessageReply();
}

std::unique_lock<std::recursive_mutex> ServerApi::lockOperation()
{
    const RequestCancel* cancel = RequestCancelScope::current();
    if (!cancel)
        return std::unique_lock(m_operationMutex);
    // Another thread's request may hold the lock for as long as the server takes; a request that
    // is cancelled meanwhile gives up waiting. (Tried now and then rather than with a timed lock,
    // which ThreadSanitizer cannot follow.)
    std::unique_lock lock(m_operationMutex, std::try_to_lock);
    while (!lock.owns_lock()) {
        if (cancel->cancelled())
            throw RequestCancelled(QStringLiteral("The request was cancelled while it waited"));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        lock.try_lock();
    }
    return lock;
}

void ServerApi::abort()
{
    m_aborted = true;
    std::lock_guard lock(m_clientMutex);
    m_httpClient->abort();
}

LoginReply ServerApi::readLoginReply(bool readRole)
{
    std::lock_guard lock(m_operationMutex);
    LoginReply response;
    response.code = getResultCode(m_xmlDocument);
    if (response.code != 0)
        response.msg = getNodeText(m_xmlDocument, QStringLiteral("/responsed/msg"));
    else
        response.token = getNodeText(m_xmlDocument, QStringLiteral("/responsed/token"));
    if (readRole)
        response.role = getNodeText(m_xmlDocument, QStringLiteral("/responsed/role"));
    return response;
}

Reply ServerApi::readRegisterReply()
{
    std::lock_guard lock(m_operationMutex);
    Reply response;
    if (isSuccess(m_xmlDocument)) {
        response.success = true;
        response.token = getNodeText(m_xmlDocument, QStringLiteral("/responsed/token"));
    } else {
        response.msg = getNodeText(m_xmlDocument, QStringLiteral("/responsed/msg"));
    }
    return response;
}

Reply ServerApi::readInformationReply(const QString& appUrl)
{
    std::lock_guard lock(m_operationMutex);
    Reply response;
    if (!isSuccess(m_xmlDocument))
        return response;
    response.success = true;
    const QString path = getNodeText(m_xmlDocument, QStringLiteral("/responsed/url"));
    if (path == kNone) {
        response.url = kNone;
        return response;
    }
    response.url = appUrl + path;
    response.width = toSize(getNodeText(m_xmlDocument, QStringLiteral("/responsed/width")));
    response.height = toSize(getNodeText(m_xmlDocument, QStringLiteral("/responsed/height")));
    response.titleHeight = toSize(getNodeText(m_xmlDocument, QStringLiteral("/responsed/title_height")));
    return response;
}

QString ServerApi::readMessageReply()
{
    std::lock_guard lock(m_operationMutex);
    if (isSuccess(m_xmlDocument))
        return {};
    return getNodeText(m_xmlDocument, QStringLiteral("/responsed/msg"));
}

void ServerApi::replaceHttpClient()
{
    auto fresh = std::make_unique<HttpClient>(m_limits);
    std::lock_guard lock(m_clientMutex);
    m_httpClient.swap(fresh);
    // An Abort that came while the old client was in use also holds for the new one.
    if (m_aborted)
        m_httpClient->abort();
}

} // namespace quorvane
