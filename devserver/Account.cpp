#include "devserver/Account.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

namespace {

QByteArray HashPassword(const QByteArray& salt, const QString& password)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(salt);
    hash.addData(password.toUtf8());
    return hash.result().toHex();
}

} // namespace

TAccount TAccount::Create(const QString& name, const QString& password, Kind kind)
{
    TAccount account;
    account.name = name;
    account.kind = kind;
    account.SetPassword(password);
    return account;
}

bool TAccount::HasPassword(const QString& password) const
{
    return HashPassword(salt, password) == hash;
}

void TAccount::SetPassword(const QString& password)
{
    QByteArray bytes(16, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
    salt = bytes.toHex();
    hash = HashPassword(salt, password);
}
