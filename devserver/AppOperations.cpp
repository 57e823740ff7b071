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

using namespace RequestItems;

namespace {

const QByteArray kRegistrationKey = QByteArrayLiteral("pRelMoK4vda");
constexpr qsizetype kMaxNameLength = 64;
constexpr qsizetype kMinPasswordLength = 6;
constexpr qsizetype kMaxPasswordLength = 32;

bool HasControlCharacter(const QString& text)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

bool IsEmailAddress(const QString& text)
{
    const QRegularExpression pattern(QStringLiteral("^[^@\\s]+@[^@\\s]+\\.[^@\\s]+$"));
    return text.size() <= kMaxNameLength && !HasControlCharacter(text) && pattern.match(text).hasMatch();
}

bool IsAcceptablePassword(const QString& password)
{
    return password.size() >= kMinPasswordLength && password.size() <= kMaxPasswordLength &&
           !HasControlCharacter(password);
}

void RequireAcceptablePassword(const QString& password)
{
    if (!IsAcceptablePassword(password))
        throw TRequestRefused{ReplyCode::kRefusedValue, QStringLiteral("密码长度应为6至32个字符!")};
}

// Runs an operation, turning a refusal into its failure reply and a store that cannot be
// written into a "try again later" reply.
template <typename Operation> TReplyEnvelope Answer(Operation operation)
{
    try {
        return operation();
    } catch (const TRequestRefused& refused) {
        return TReplyEnvelope::Failure(refused.code, refused.message);
    } catch (const TFailure&) {
        return TReplyEnvelope::Failure(ReplyCode::kServerError, QStringLiteral("服务器繁忙，请稍后再试!"));
    }
}

} // namespace

TAppOperations::TAppOperations(TAccountStore& accounts, TSessionTable& sessions,
                               TNotificationQueue& notifications)
    : accounts_(accounts), sessions_(sessions), notifications_(notifications)
{
}

TReplyEnvelope TAppOperations::UserLogin(const TQueryItems& items)
{
    return Answer([&] {
        RequireXmlFormat(items);
        const QString userName = RequiredAnsi(items, "userName");
        const QString password = RequiredAnsi(items, "password");
        const std::optional<TAccount> account = accounts_.Find(userName);
        // A microblog account has no password of ours; it signs in through the microblog service.
        if (!account || account->kind != TAccount::Kind::Account || !account->HasPassword(password))
            return TReplyEnvelope::Failure(ReplyCode::kWrongCredentials,
                                           QStringLiteral("用户名或密码不正确!"))
                .Set("role", QStringLiteral("0"));
        if (account->awaitingApproval)
            return TReplyEnvelope::Failure(ReplyCode::kAwaitingApproval,
                                           QStringLiteral("用户未激活，等待审核中!"))
                .Set("role", account->role);
        return TReplyEnvelope::Success().Set("token", StartSession(account->name)).Set("role", account->role);
    });
}

TReplyEnvelope TAppOperations::WeiboLogin(const TQueryItems& items)
{
    return Answer([&] {
        RequireXmlFormat(items);
        const QString userName = RequiredAnsi(items, "userName");
        const QString password = RequiredAnsi(items, "password");
        const std::optional<TAccount> account = accounts_.Find(userName);
        if (!account || account->kind != TAccount::Kind::Microblog || !account->HasPassword(password))
            return TReplyEnvelope::Failure(ReplyCode::kWrongCredentials,
                                           QStringLiteral("微博账号或密码不正确!"));
        if (account->awaitingApproval)
            return TReplyEnvelope::Failure(ReplyCode::kAwaitingApproval,
                                           QStringLiteral("用户未激活，等待审核中!"));
        return TReplyEnvelope::Success().Set("token", StartSession(account->name));
    });
}

TReplyEnvelope TAppOperations::UserRegister(const TQueryItems& items)
{
    return Answer([&] {
        RequireXmlFormat(items);
        const QString userName = RequiredAnsi(items, "userName");
        const QString password = RequiredAnsi(items, "password");
        const QString signature = RequiredAnsi(items, "sn");
        if (signature.toLatin1() != RegistrationSignature(userName, password))
            return TReplyEnvelope::Failure(ReplyCode::kBadSignature,
                                           QStringLiteral("注册校验失败，请升级客户端后再试!"));
        if (!IsEmailAddress(userName))
            return TReplyEnvelope::Failure(ReplyCode::kRefusedValue, QStringLiteral("请输入有效的E-mail!"));
        RequireAcceptablePassword(password);
        if (!accounts_.Add(TAccount::Create(userName, password, TAccount::Kind::Account)))
            return TReplyEnvelope::Failure(ReplyCode::kNameTaken, QStringLiteral("该E-mail已被注册!"));
        return TReplyEnvelope::Success().Set("token", StartSession(userName));
    });
}

TReplyEnvelope TAppOperations::GetInformationList(const TQueryItems& items)
{
    return Answer([&] {
        RequireXmlFormat(items);
        RequiredAnsi(items, "v");
        const QString userName = RequireSession(items);
        RequiredInt(items, "ot");
        const std::optional<TNotification> next = notifications_.Take(userName);
        if (!next)
            return TReplyEnvelope::Success().Set("url", QStringLiteral("0"));
        return TReplyEnvelope::Success()
            .Set("url", next->path)
            .Set("width", QString::number(next->width))
            .Set("height", QString::number(next->height))
            .Set("title_height", QString::number(next->titleHeight));
    });
}

TReplyEnvelope TAppOperations::ChangePassword(const TQueryItems& items)
{
    return Answer([&] {
        RequireXmlFormat(items);
        const QString userName = RequiredAnsi(items, "userName");
        const QString oldPassword = RequiredAnsi(items, "oldPassword");
        const QString newPassword = RequiredAnsi(items, "newPassword");
        RequireSession(items);
        std::optional<TAccount> account = accounts_.Find(userName);
        if (!account)
            return TReplyEnvelope::Failure(ReplyCode::kBadToken, QStringLiteral("登录已失效，请重新登录!"));
        if (account->kind != TAccount::Kind::Account)
            return TReplyEnvelope::Failure(ReplyCode::kRefusedValue,
                                           QStringLiteral("微博账号不能在此修改密码!"));
        if (!account->HasPassword(oldPassword))
            return TReplyEnvelope::Failure(ReplyCode::kWrongCredentials, QStringLiteral("原密码不正确!"));
        RequireAcceptablePassword(newPassword);
        account->SetPassword(newPassword);
        accounts_.Replace(*account);
        return TReplyEnvelope::Success();
    });
}

TReplyEnvelope TAppOperations::ShareInfo(const TQueryItems& items)
{
    return Answer([&] {
        RequireXmlFormat(items);
        RequireSession(items);
        RequiredAnsi(items, "shareType");
        return TReplyEnvelope::Success();
    });
}

QByteArray TAppOperations::RegistrationSignature(const QString& userName, const QString& password)
{
    return ScrambleText(kRegistrationKey, ToAnsi(userName + QLatin1Char('_') + password));
}

QString TAppOperations::RequireSession(const TQueryItems& items)
{
    const QString userName = RequiredAnsi(items, "userName");
    const QString token = RequiredAnsi(items, "token");
    if (!sessions_.IsValid(userName, token))
        throw TRequestRefused{ReplyCode::kBadToken, QStringLiteral("登录已失效，请重新登录!")};
    return userName;
}

QString TAppOperations::StartSession(const QString& userName)
{
    notifications_.PushOnce(userName, TNotification::Welcome());
    return sessions_.Open(userName);
}
