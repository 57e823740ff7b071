#include "devserver/SessionTable.h"

#include <QByteArray>
#include <QRandomGenerator>

namespace {

constexpr qsizetype kTokensPerUser = 8;

QString NewToken()
{
    QByteArray bytes(16, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
    return QString::fromLatin1(bytes.toHex());
}

} // namespace

QString TSessionTable::Open(const QString& userName)
{
    const QString token = NewToken();
    std::lock_guard lock(mutex_);
    QStringList& tokens = tokens_[userName.toLower()];
    tokens.append(token);
    if (tokens.size() > kTokensPerUser)
        users_.remove(tokens.takeFirst());
    users_.insert(token, userName);
    return token;
}

bool TSessionTable::IsValid(const QString& userName, const QString& token) const
{
    const std::optional<QString> owner = UserOf(token);
    return owner && owner->compare(userName, Qt::CaseInsensitive) == 0;
}

std::optional<QString> TSessionTable::UserOf(const QString& token) const
{
    std::lock_guard lock(mutex_);
    const auto it = users_.constFind(token);
    if (it == users_.constEnd())
        return std::nullopt;
    return *it;
}
