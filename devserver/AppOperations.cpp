#include "devserver/AppOperations.h"

#include "config/Util.h"
#include "devserver/AccountStore.h"
#include "devserver/NotificationQueue.h"
#include "devserver/ReplyCode.h"
#include "devserver/RequestItems.h"
#include "devserver/SessionTable.h"
#include "platform/AnsiCodePage.h"
#include "platform/Failure.h"

#include <QRegularExpression>

namespace quorvane {

using namespace RequestItems;

namespace {

const QByteArray kRegistrationKey = QByteArrayLiteral("pRelMoK4vda");
constexpr qsizetype kMaxNameLength = 64;
constexpr qsizetype kMinPasswordLength = 6;
constexpr qsizetype kMaxPasswordLength = 32;

bool hasControlCharacter(const QString& text)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

bool isEmailAddress(const QString& text)
{
    const QRegularExpression pattern(QStringLiteral("^[^@\\s]+@[^@\\s]+\\.[^@\\s]+$"));
    return text.size() <= kMaxNameLength && !hasControlCharacter(text) && pattern.match(text).hasMatch();
}

bool isAcceptablePassword(const QString& password)
{
    return password.size() >= kMinPasswordLength && password.size() <= kMaxPasswordLength &&
           !hasControlCharacter(password);
}

void requireAcceptablePassword(const QString& password)
{
    if (!isAcceptablePassword(password))
        throw RequestRefused{ReplyCode::kRefusedValue, QStringLiteral("密码长度应为6至32个字符!")};
}

// Runs an operation, turning a refusal into its failure reply and a store that cannot be
// written into a "try again later" reply.
template <typename Operation> ReplyEnvelope answer(Operation operation)
{
    try {
        return operation();
    } catch (const RequestRefused& refused) {
        return ReplyEnvelope::failure(refused.code, refused.message);
    } catch (const Failure&) {
        return ReplyEnvelope::failure(ReplyCode::kServerError, QStringLiteral("服务器繁忙，请稍后再试!"));
    }
}

} // namespace

AppOperations::AppOperations(AccountStore& accounts, SessionTable& sessions, NotificationQueue& notifications)
    : m_accounts(accounts), m_sessions(sessions), m_notifications(notifications)
{
}

ReplyEnvelope AppOperations::userLogin(const QueryItems& items)
{
    return answer([&] {
        requireXmlFormat(items);
        const QString userName = requiredAnsi(items, "userName");
        const QString password = requiredAnsi(items, "password");
        const std::optional<Account> account = m_accounts.find(userName);
        // A microblog account has no password of ours; it signs in through the microblog service.
        if (!account || account->kind != Account::Kind::Account || !account->hasPassword(password))
            return ReplyEnvelope::failure(ReplyCode::kWrongCredentials, QStringLiteral("用户名或密码不正确!"))
                .set("role", QStringLiteral("0"));
        if (account->awaitingApproval)
            return ReplyEnvelope::failure(ReplyCode::kAwaitingApproval,
                                          QStringLiteral("用户未激活，等待审核中!"))
                .set("role", account->role);
        return ReplyEnvelope::success().set("token", startSession(account->name)).set("role", account->role);
    });
}

ReplyEnvelope AppOperations::weiboLogin(const QueryItems& items)
{
    return answer([&] {
        requireXmlFormat(items);
        const QString userName = requiredAnsi(items, "userName");
        const QString password = requiredAnsi(items, "password");
        const std::optional<Account> account = m_accounts.find(userName);
        if (!account || account->kind != Account::Kind::Microblog || !account->hasPassword(password))
            return ReplyEnvelope::failure(ReplyCode::kWrongCredentials,
                                          QStringLiteral("微博账号或密码不正确!"));
        if (account->awaitingApproval)
            return ReplyEnvelope::failure(ReplyCode::kAwaitingApproval,
                                          QStringLiteral("用户未激活，等待审核中!"));
        return ReplyEnvelope::success().set("token", startSession(account->name));
    });
}

ReplyEnvelope AppOperations::userRegister(const QueryItems& items)
{
    return answer([&] {
        requireXmlFormat(items);
        const QString userName = requiredAnsi(items, "userName");
        const QString password = requiredAnsi(items, "password");
        const QString signature = requiredAnsi(items, "sn");
        if (signature.toLatin1() != registrationSignature(userName, password))
            return ReplyEnvelope::failure(ReplyCode::kBadSignature,
                                          QStringLiteral("注册校验失败，请升级客户端后再试!"));
        if (!isEmailAddress(userName))
            return ReplyEnvelope::failure(ReplyCode::kRefusedValue, QStringLiteral("请输入有效的E-mail!"));
        requireAcceptablePassword(password);
        if (!m_accounts.add(Account::create(userName, password, Account::Kind::Account)))
            return ReplyEnvelope::failure(ReplyCode::kNameTaken, QStringLiteral("该E-mail已被注册!"));
        return ReplyEnvelope::success().set("token", startSession(userName));
    });
}

ReplyEnvelope AppOperations::getInformationList(const QueryItems& items)
{
    return answer([&] {
        requireXmlFormat(items);
        requiredAnsi(items, "v");
        const QString userName = requireSession(items);
        requiredInt(items, "ot");
        const std::optional<Notification> next = m_notifications.take(userName);
        if (!next)
            return ReplyEnvelope::success().set("url", QStringLiteral("0"));
        return ReplyEnvelope::success()
            .set("url", next->path)
            .set("width", QString::number(next->width))
            .set("height", QString::number(next->height))
            .set("title_height", QString::number(next->titleHeight));
    });
}

ReplyEnvelope AppOperations::changePassword(const QueryItems& items)
{
    return answer([&] {
        requireXmlFormat(items);
        const QString userName = requiredAnsi(items, "userName");
        const QString oldPassword = requiredAnsi(items, "oldPassword");
        const QString newPassword = requiredAnsi(items, "newPassword");
        requireSession(items);
        std::optional<Account> account = m_accounts.find(userName);
        if (!account)
            return ReplyEnvelope::failure(ReplyCode::kBadToken, QStringLiteral("登录已失效，请重新登录!"));
        if (account->kind != Account::Kind::Account)
            return ReplyEnvelope::failure(ReplyCode::kRefusedValue,
                                          QStringLiteral("微博账号不能在此修改密码!"));
        if (!account->hasPassword(oldPassword))
            return ReplyEnvelope::failure(ReplyCode::kWrongCredentials, QStringLiteral("原密码不正确!"));
        requireAcceptablePassword(newPassword);
        account->setPassword(newPassword);
        m_accounts.replace(*account);
        return ReplyEnvelope::success();
    });
}

ReplyEnvelope AppOperations::shareInfo(const QueryItems& items)
{
    return answer([&] {
        requireXmlFormat(items);
        requireSession(items);
        requiredAnsi(items, "shareType");
        return ReplyEnvelope::success();
    });
}

QByteArray AppOperations::registrationSignature(const QString& userName, const QString& password)
{
    return scrambleText(kRegistrationKey, toAnsi(userName + QLatin1Char('_') + password));
}

QString AppOperations::requireSession(const QueryItems& items)
{
    const QString userName = requiredAnsi(items, "userName");
    const QString token = requiredAnsi(items, "token");
    if (!m_sessions.isValid(userName, token))
        throw RequestRefused{ReplyCode::kBadToken, QStringLiteral("登录已失效，请重新登录!")};
    return userName;
}

QString AppOperations::startSession(const QString& userName)
{
    m_notifications.pushOnce(userName, Notification::welcome());
    return m_sessions.open(userName);
}

} // namespace quorvane
