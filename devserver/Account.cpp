#include "devserver/Account.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

namespace quorvane {

namespace {

QByteArray hashPassword(const QByteArray& salt, const QString& password)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(salt);
    hash.addData(password.toUtf8());
    return hash.result().toHex();
}

} // namespace

Account Account::create(const QString& name, const QString& password, Kind kind)
{
    Account account;
    account.name = name;
    account.kind = kind;
    account.setPassword(password);
    return account;
}

bool Account::hasPassword(const QString& password) const
{
    return hashPassword(salt, password) == hash;
}

void Account::setPassword(const QString& password)
{
    QByteArray bytes(16, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
    salt = bytes.toHex();
    hash = hashPassword(salt, password);
}

} // namespace quorvane
