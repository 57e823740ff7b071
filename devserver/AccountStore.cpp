#include "devserver/AccountStore.h"

#include "devserver/DemoAccounts.h"
#include "platform/Failure.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace quorvane {

namespace {

const char* const kFileName = "accounts.json";

QString kindName(Account::Kind kind)
{
    return kind == Account::Kind::Microblog ? QStringLiteral("microblog") : QStringLiteral("account");
}

QJsonObject toJson(const Account& account)
{
    return {
        {QStringLiteral("name"), account.name},
        {QStringLiteral("kind"), kindName(account.kind)},
        {QStringLiteral("role"), account.role},
        {QStringLiteral("awaitingApproval"), account.awaitingApproval},
        {QStringLiteral("salt"), QString::fromLatin1(account.salt)},
        {QStringLiteral("hash"), QString::fromLatin1(account.hash)},
    };
}

std::optional<Account> fromJson(const QJsonValue& value)
{
    const QJsonObject object = value.toObject();
    const QString kind = object.value(QStringLiteral("kind")).toString();
    Account account;
    account.name = object.value(QStringLiteral("name")).toString();
    account.role = object.value(QStringLiteral("role")).toString();
    account.awaitingApproval = object.value(QStringLiteral("awaitingApproval")).toBool();
    account.salt = object.value(QStringLiteral("salt")).toString().toLatin1();
    account.hash = object.value(QStringLiteral("hash")).toString().toLatin1();
    if (kind == kindName(Account::Kind::Microblog))
        account.kind = Account::Kind::Microblog;
    else if (kind != kindName(Account::Kind::Account))
        return std::nullopt;
    if (account.name.isEmpty() || account.role.isEmpty() || account.salt.isEmpty() || account.hash.isEmpty())
        return std::nullopt;
    return account;
}

QList<Account> parse(const QByteArray& content, const QString& path)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(content, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        throw Failure(QStringLiteral("%1 is damaged (%2); move it away to start again with the demo accounts")
                          .arg(path, error.errorString()));
    QList<Account> accounts;
    for (const QJsonValue& value : document.object().value(QStringLiteral("accounts")).toArray()) {
        const std::optional<Account> account = fromJson(value);
        if (!account)
            throw Failure(QStringLiteral("%1 holds an account without name, role or password; "
                                         "move it away to start again with the demo accounts")
                              .arg(path));
        accounts.append(*account);
    }
    return accounts;
}

} // namespace

AccountStore::AccountStore(const QString& dataDir) : m_path(QDir(dataDir).filePath(QLatin1String(kFileName)))
{
    if (!QDir().mkpath(dataDir))
        throw Failure(QStringLiteral("cannot create the data folder %1").arg(dataDir));
    QFile file(m_path);
    if (!file.exists()) {
        for (const DemoAccount& demo : demoAccounts())
            m_accounts.append(demo.toAccount());
        save(m_accounts);
        return;
    }
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("cannot read %1: %2").arg(m_path, file.errorString()));
    m_accounts = parse(file.readAll(), m_path);
}

std::optional<Account> AccountStore::find(const QString& name) const
{
    std::lock_guard lock(m_mutex);
    const qsizetype index = indexOf(name);
    if (index < 0)
        return std::nullopt;
    return m_accounts[index];
}

bool AccountStore::add(const Account& account)
{
    std::lock_guard lock(m_mutex);
    if (indexOf(account.name) >= 0)
        return false;
    QList<Account> changed = m_accounts;
    changed.append(account);
    save(changed);
    m_accounts = std::move(changed);
    return true;
}

void AccountStore::replace(const Account& account)
{
    std::lock_guard lock(m_mutex);
    const qsizetype index = indexOf(account.name);
    if (index < 0)
        throw Failure(QStringLiteral("no account %1").arg(account.name));
    QList<Account> changed = m_accounts;
    changed[index] = account;
    save(changed);
    m_accounts = std::move(changed);
}

qsizetype AccountStore::indexOf(const QString& name) const
{
    for (qsizetype i = 0; i < m_accounts.size(); ++i) {
        if (m_accounts[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void AccountStore::save(const QList<Account>& accounts) const
{
    QJsonArray array;
    for (const Account& account : accounts)
        array.append(toJson(account));
    const QByteArray content =
        QJsonDocument(QJsonObject{{QStringLiteral("accounts"), array}}).toJson(QJsonDocument::Indented);

    QSaveFile file(m_path);
    // Passwords: readable by the server's user alone.
    if (!file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        file.write(content) != content.size() || !file.commit())
        throw Failure(QStringLiteral("cannot write %1: %2").arg(m_path, file.errorString()));
}

} // namespace quorvane
