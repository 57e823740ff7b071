#include "server/SelvorAPI.h"

#include "config/SelvorConfig.h"
#include "config/Util.h"
#include "platform/AnsiCodePage.h"
#include "platform/Failure.h"
#include "server/ClientVersion.h"
#include "server/QueryEncoding.h"
#include "server/XmlReply.h"

#include <limits>

namespace {

const QByteArray kRegisterKey = QByteArrayLiteral("pRelMoK4vda");
const QString kNone = QStringLiteral("0");

// Decimal digits with an optional sign, within the 32-bit range.
bool ParseInteger(const QString& text, bool allowPlus, int& value)
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
int ToSize(const QString& text)
{
    int value = 0;
    if (!ParseInteger(text.trimmed(), true, value))
        throw TFailure(
            QStringLiteral("The server sent \"%1\" where a number was expected").arg(text.left(100)));
    return value;
}

QString Item(const char* key, const QString& value)
{
    return QLatin1Char('&') + QLatin1String(key) + QLatin1Char('=') + EncodeQueryValue(value);
}

QString AppUrl()
{
    return TSelvorConfig().GetAppUrl();
}

} // namespace

TSelvorAPI::TSelvorAPI(pugi::xml_document& xmlDocument, const THttpLimits& limits)
    : limits_(limits), httpClient_(std::make_unique<THttpClient>(limits)), xmlDocument_(xmlDocument)
{
}

TSelvorAPI::~TSelvorAPI() = default;

void TSelvorAPI::invokeRemote(pugi::xml_document& document, const QString& url)
{
    std::lock_guard lock(operationMutex_);
    QByteArray body;
    try {
        body = httpClient_->Get(url);
    } catch (...) {
        ReplaceHttpClient();
        throw;
    }
    loadReply(document, body);
}

void TSelvorAPI::loadReply(pugi::xml_document& document, const QByteArray& body)
{
    std::lock_guard lock(operationMutex_);
    LoadReply(document, body);
}

QString TSelvorAPI::getNodeText(const pugi::xml_document& document, const QString& path)
{
    std::lock_guard lock(operationMutex_);
    return NodeText(document, path);
}

bool TSelvorAPI::isSuccess(const pugi::xml_document& document)
{
    return getNodeText(document, QStringLiteral("/responsed/code")) == QLatin1String("0");
}

int TSelvorAPI::getResultCode(const pugi::xml_document& document)
{
    const QString code = getNodeText(document, QStringLiteral("/responsed/code"));
    int value = 0;
    return ParseInteger(code, false, value) ? value : -1;
}

APILoginResponse TSelvorAPI::userLogin(const QString& userName, const QString& password)
{
    std::lock_guard lock(operationMutex_);
    invokeRemote(xmlDocument_, AppUrl() + QStringLiteral("/users/userLogin?format=xml") +
                                   Item("userName", userName) + Item("password", password));
    return readLoginReply(true);
}

APILoginResponse TSelvorAPI::weiboLogin(const QString& userName, const QString& password)
{
    std::lock_guard lock(operationMutex_);
    invokeRemote(xmlDocument_, AppUrl() + QStringLiteral("/users/weiboLogin?format=xml") +
                                   Item("userName", userName) + Item("password", password));
    return readLoginReply(false);
}

APIResponse TSelvorAPI::userRegister(const QString& userName, const QString& password)
{
    std::lock_guard lock(operationMutex_);
    const QString signature =
        QString::fromLatin1(ScrambleText(kRegisterKey, ToAnsi(userName + QLatin1Char('_') + password)));
    invokeRemote(xmlDocument_, AppUrl() + QStringLiteral("/users/userRegister?format=xml") +
                                   Item("userName", userName) + Item("password", password) +
                                   Item("sn", signature));
    return readRegisterReply();
}

APIResponse TSelvorAPI::getInformationList(const QString& userName, const QString& token, int ot)
{
    std::lock_guard lock(operationMutex_);
    const QString appUrl = AppUrl();
    invokeRemote(xmlDocument_, appUrl + QStringLiteral("/information/getInformationList?format=xml&v=") +
                                   EncodeQueryValue(CLIENT_VERSION) + Item("userName", userName) +
                                   Item("token", token) + Item("ot", QString::number(ot)));
    return readInformationReply(appUrl);
}

QString TSelvorAPI::changePassword(const QString& userName, const QString& oldPassword,
                                   const QString& newPassword, const QString& token)
{
    std::lock_guard lock(operationMutex_);
    invokeRemote(xmlDocument_, AppUrl() + QStringLiteral("/users/changePassword?format=xml") +
                                   Item("userName", userName) + Item("oldPassword", oldPassword) +
                                   Item("newPassword", newPassword) + Item("token", token));
    return readMessageReply();
}

QString TSelvorAPI::shareInfo(const QString& userName, const QString& token, const QString& shareType)
{
    std::lock_guard lock(operationMutex_);
    invokeRemote(xmlDocument_, AppUrl() + QStringLiteral("/personalcenter/shareInfo?format=xml") +
                                   Item("userName", userName) + Item("token", token) +
                                   Item("shareType", shareType));
    return readMessageReply();
}

void TSelvorAPI::Abort()
{
    aborted_ = true;
    std::lock_guard lock(clientMutex_);
    httpClient_->Abort();
}

APILoginResponse TSelvorAPI::readLoginReply(bool readRole)
{
    std::lock_guard lock(operationMutex_);
    APILoginResponse response;
    response.code = getResultCode(xmlDocument_);
    if (response.code != 0)
        response.msg = getNodeText(xmlDocument_, QStringLiteral("/responsed/msg"));
    else
        response.token = getNodeText(xmlDocument_, QStringLiteral("/responsed/token"));
    if (readRole)
        response.role = getNodeText(xmlDocument_, QStringLiteral("/responsed/role"));
    return response;
}

APIResponse TSelvorAPI::readRegisterReply()
{
    std::lock_guard lock(operationMutex_);
    APIResponse response;
    if (isSuccess(xmlDocument_)) {
        response.success = true;
        response.token = getNodeText(xmlDocument_, QStringLiteral("/responsed/token"));
    } else {
        response.msg = getNodeText(xmlDocument_, QStringLiteral("/responsed/msg"));
    }
    return response;
}

APIResponse TSelvorAPI::readInformationReply(const QString& appUrl)
{
    std::lock_guard lock(operationMutex_);
    APIResponse response;
    if (!isSuccess(xmlDocument_))
        return response;
    response.success = true;
    const QString path = getNodeText(xmlDocument_, QStringLiteral("/responsed/url"));
    if (path == kNone) {
        response.url = kNone;
        return response;
    }
    response.url = appUrl + path;
    response.width = ToSize(getNodeText(xmlDocument_, QStringLiteral("/responsed/width")));
    response.height = ToSize(getNodeText(xmlDocument_, QStringLiteral("/responsed/height")));
    response.titleHeight = ToSize(getNodeText(xmlDocument_, QStringLiteral("/responsed/title_height")));
    return response;
}

QString TSelvorAPI::readMessageReply()
{
    std::lock_guard lock(operationMutex_);
    if (isSuccess(xmlDocument_))
        return {};
    return getNodeText(xmlDocument_, QStringLiteral("/responsed/msg"));
}

void TSelvorAPI::ReplaceHttpClient()
{
    auto fresh = std::make_unique<THttpClient>(limits_);
    std::lock_guard lock(clientMutex_);
    httpClient_.swap(fresh);
    // An Abort that came while the old client was in use also holds for the new one.
    if (aborted_)
        httpClient_->Abort();
}
