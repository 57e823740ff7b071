#pragma once

#include "devserver/Account.h"

#include <QList>
#include <QString>

namespace quorvane {

// The accounts a fresh data folder starts with: one for every case the client tells apart.
struct DemoAccount
{
    QString name;
    QString password;
    Account::Kind kind;
    QString role;
    bool awaitingApproval;
    QString description;

    Account toAccount() const;
};

QList<DemoAccount> demoAccounts();

} // namespace quorvane
