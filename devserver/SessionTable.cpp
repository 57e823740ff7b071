#include "devserver/SessionTable.h"

#include <QByteArray>
#include <QRandomGenerator>

namespace quorvane {

namespace {

constexpr qsizetype kTokensPerUser = 8;

QString newToken()
{
    QByteArray bytes(16, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
    return QString::fromLatin1(bytes.toHex());
}

} // namespace

QString SessionTable::open(const QString& userName)
{
    const QString token = newToken();
    std::lock_guard lock(m_mutex);
    QStringList& tokens = m_tokens[userName.toLower()];
    tokens.append(token);
    if (tokens.size() > kTokensPerUser)
        m_users.remove(tokens.takeFirst());
    m_users.insert(token, userName);
    return token;
}

bool SessionTable::isValid(const QString& userName, const QString& token) const
{
    const std::optional<QString> owner = userOf(token);
    return owner && owner->compare(userName, Qt::CaseInsensitive) == 0;
}

std::optional<QString> SessionTable::userOf(const QString& token) const
{
    std::lock_guard lock(m_mutex);
    const auto it = m_users.constFind(token);
    if (it == m_users.constEnd())
        return std::nullopt;
    return *it;
}

} // namespace quorvane
