#include "devserver/DemoAccounts.h"

namespace quorvane {

Account DemoAccount::toAccount() const
{
    Account account = Account::create(name, password, kind);
    account.role = role;
    account.awaitingApproval = awaitingApproval;
    return account;
}

QList<DemoAccount> demoAccounts()
{
    using Kind = Account::Kind;
    return {
        {QStringLiteral("demo@quorvane.com"), QStringLiteral("demo123"), Kind::Account, QStringLiteral("1"),
         false, QStringLiteral("normal account")},
        {QStringLiteral("agency@quorvane.com"), QStringLiteral("agency123"), Kind::Account,
         QStringLiteral("2"), false, QStringLiteral("certified enterprise (role 2)")},
        {QStringLiteral("pending@quorvane.com"), QStringLiteral("pending123"), Kind::Account,
         QStringLiteral("1"), true, QStringLiteral("awaiting approval (code 3)")},
        {QStringLiteral("demo@weibo.com"), QStringLiteral("weibo123"), Kind::Microblog, QStringLiteral("1"),
         false, QStringLiteral("microblog account")},
    };
}

} // namespace quorvane
