#include "devserver/AdminOperations.h"

#include "devserver/AccountStore.h"
#include "devserver/NotificationQueue.h"
#include "devserver/ReplyCode.h"
#include "devserver/RequestItems.h"

#include <QRegularExpression>

namespace quorvane {

using namespace RequestItems;

namespace {

constexpr int kMaxSize = 4000;

int requireSize(const QueryItems& items, const char* name, int fallback)
{
    const int value = optionalInt(items, name, fallback);
    if (value < 0 || value > kMaxSize)
        throw RequestRefused{ReplyCode::kBadRequest,
                             QStringLiteral("参数格式错误：%1").arg(QLatin1String(name))};
    return value;
}

} // namespace

AdminOperations::AdminOperations(AccountStore& accounts, NotificationQueue& notifications)
    : m_accounts(accounts), m_notifications(notifications)
{
}

ReplyEnvelope AdminOperations::queueNotification(const QueryItems& items)
{
    try {
        const QString userName = requiredUtf8(items, "userName");
        if (!m_accounts.find(userName))
            return ReplyEnvelope::failure(ReplyCode::kRefusedValue,
                                          QStringLiteral("用户不存在：%1").arg(userName));
        Notification notification = Notification::priceAlert();
        if (items.contains("url")) {
            notification.path = requiredUtf8(items, "url");
            const QRegularExpression blankOrControl(QStringLiteral("[\\x00-\\x20\\x7F]"));
            if (!notification.path.startsWith(QLatin1Char('/')) || notification.path.contains(blankOrControl))
                return ReplyEnvelope::failure(ReplyCode::kBadRequest, QStringLiteral("参数格式错误：url"));
        }
        notification.width = requireSize(items, "width", notification.width);
        notification.height = requireSize(items, "height", notification.height);
        notification.titleHeight = requireSize(items, "title_height", notification.titleHeight);
        m_notifications.push(userName, notification);
        return ReplyEnvelope::success();
    } catch (const RequestRefused& refused) {
        return ReplyEnvelope::failure(refused.code, refused.message);
    }
}

} // namespace quorvane
