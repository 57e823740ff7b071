#include "devserver/AccountStore.h"

#include "devserver/DemoAccounts.h"
#include "platform/Failure.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

const char* const kFileName = "accounts.json";

QString KindName(TAccount::Kind kind)
{
    return kind == TAccount::Kind::Microblog ? QStringLiteral("microblog") : QStringLiteral("account");
}

QJsonObject ToJson(const TAccount& account)
{
    return {
        {QStringLiteral("name"), account.name},
        {QStringLiteral("kind"), KindName(account.kind)},
        {QStringLiteral("role"), account.role},
        {QStringLiteral("awaitingApproval"), account.awaitingApproval},
        {QStringLiteral("salt"), QString::fromLatin1(account.salt)},
        {QStringLiteral("hash"), QString::fromLatin1(account.hash)},
    };
}

std::optional<TAccount> FromJson(const QJsonValue& value)
{
    const QJsonObject object = value.toObject();
    const QString kind = object.value(QStringLiteral("kind")).toString();
    TAccount account;
    account.name = object.value(QStringLiteral("name")).toString();
    account.role = object.value(QStringLiteral("role")).toString();
    account.awaitingApproval = object.value(QStringLiteral("awaitingApproval")).toBool();
    account.salt = object.value(QStringLiteral("salt")).toString().toLatin1();
    account.hash = object.value(QStringLiteral("hash")).toString().toLatin1();
    if (kind == KindName(TAccount::Kind::Microblog))
        account.kind = TAccount::Kind::Microblog;
    else if (kind != KindName(TAccount::Kind::Account))
        return std::nullopt;
    if (account.name.isEmpty() || account.role.isEmpty() || account.salt.isEmpty() || account.hash.isEmpty())
        return std::nullopt;
    return account;
}

QList<TAccount> Parse(const QByteArray& content, const QString& path)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(content, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        throw TFailure(
            QStringLiteral("%1 is damaged (%2); move it away to start again with the demo accounts")
                .arg(path, error.errorString()));
    QList<TAccount> accounts;
    for (const QJsonValue& value : document.object().value(QStringLiteral("accounts")).toArray()) {
        const std::optional<TAccount> account = FromJson(value);
        if (!account)
            throw TFailure(QStringLiteral("%1 holds an account without name, role or password; "
                                          "move it away to start again with the demo accounts")
                               .arg(path));
        accounts.append(*account);
    }
    return accounts;
}

} // namespace

TAccountStore::TAccountStore(const QString& dataDir) : path_(QDir(dataDir).filePath(QLatin1String(kFileName)))
{
    if (!QDir().mkpath(dataDir))
        throw TFailure(QStringLiteral("cannot create the data folder %1").arg(dataDir));
    QFile file(path_);
    if (!file.exists()) {
        for (const TDemoAccount& demo : DemoAccounts())
            accounts_.append(demo.ToAccount());
        Save(accounts_);
        return;
    }
    if (!file.open(QIODevice::ReadOnly))
        throw TFailure(QStringLiteral("cannot read %1: %2").arg(path_, file.errorString()));
    accounts_ = Parse(file.readAll(), path_);
}

std::optional<TAccount> TAccountStore::Find(const QString& name) const
{
    std::lock_guard lock(mutex_);
    const qsizetype index = IndexOf(name);
    if (index < 0)
        return std::nullopt;
    return accounts_[index];
}

bool TAccountStore::Add(const TAccount& account)
{
    std::lock_guard lock(mutex_);
    if (IndexOf(account.name) >= 0)
        return false;
    QList<TAccount> changed = accounts_;
    changed.append(account);
    Save(changed);
    accounts_ = std::move(changed);
    return true;
}

void TAccountStore::Replace(const TAccount& account)
{
    std::lock_guard lock(mutex_);
    const qsizetype index = IndexOf(account.name);
    if (index < 0)
        throw TFailure(QStringLiteral("no account %1").arg(account.name));
    QList<TAccount> changed = accounts_;
    changed[index] = account;
    Save(changed);
    accounts_ = std::move(changed);
}

qsizetype TAccountStore::IndexOf(const QString& name) const
{
    for (qsizetype i = 0; i < accounts_.size(); ++i) {
        if (accounts_[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void TAccountStore::Save(const QList<TAccount>& accounts) const
{
    QJsonArray array;
    for (const TAccount& account : accounts)
        array.append(ToJson(account));
    const QByteArray content =
        QJsonDocument(QJsonObject{{QStringLiteral("accounts"), array}}).toJson(QJsonDocument::Indented);

    QSaveFile file(path_);
    // Passwords: readable by the server's user alone.
    if (!file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        file.write(content) != content.size() || !file.commit())
        throw TFailure(QStringLiteral("cannot write %1: %2").arg(path_, file.errorString()));
}
