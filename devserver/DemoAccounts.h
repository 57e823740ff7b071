#pragma once

#include "devserver/Account.h"

#include <QList>
#include <QString>

// The accounts a fresh data folder starts with: one for every case the client tells apart.
struct TDemoAccount
{
    QString name;
    QString password;
    TAccount::Kind kind;
    QString role;
    bool awaitingApproval;
    QString description;

    TAccount toAccount() const;
};

QList<TDemoAccount> demoAccounts();
