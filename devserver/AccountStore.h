#pragma once

#include "devserver/Account.h"

#include <QList>
#include <QString>
#include <QtGlobal>
#include <mutex>
#include <optional>

namespace quorvane {

// The accounts of the service, kept in "accounts.json" in the data folder. Every change is written
// to a temporary file that then replaces the store, so a crash never leaves half a file behind;
// a change that cannot be written is not made in memory either. Safe to use from several threads.
class AccountStore final
{
public:
    // Loads the store, or creates it with the demo accounts when the folder has none. Raises
    // Failure when the file cannot be read or is damaged; the file is then left untouched.
    explicit AccountStore(const QString& dataDir);
    Q_DISABLE_COPY_MOVE(AccountStore)

    QString filePath() const { return m_path; }

    // User names are e-mail addresses and compare without regard to letter case.
    std::optional<Account> find(const QString& name) const;

    // False when the name is taken. Raises Failure when the store cannot be written.
    bool add(const Account& account);

    // Replaces the account of the same name. Raises Failure when the store cannot be written.
    void replace(const Account& account);

private:
    qsizetype indexOf(const QString& name) const;
    void save(const QList<Account>& accounts) const;

    QString m_path;
    mutable std::mutex m_mutex;
    QList<Account> m_accounts;
};

} // namespace quorvane
