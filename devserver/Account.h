#pragma once

#include <QByteArray>
#include <QString>

namespace quorvane {

// One account of the service: a Quorvane account signed in with e-mail and password, or a microblog
// account signed in through the microblog service. Only a salted hash of the password is kept.
struct Account
{
    enum class Kind
    {
        Account,
        Microblog
    };

    QString name;
    Kind kind = Kind::Account;
    QString role = QStringLiteral("1"); // "2": certified enterprise
    bool awaitingApproval = false;
    QByteArray salt; // hexadecimal
    QByteArray hash; // hexadecimal SHA-256 of salt and password

    static Account create(const QString& name, const QString& password, Kind kind);

    bool hasPassword(const QString& password) const;
    void setPassword(const QString& password);
};

} // namespace quorvane
