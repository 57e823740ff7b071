#include "devserver/AdminOperations.h"

#include "devserver/AccountStore.h"
#include "devserver/NotificationQueue.h"
#include "devserver/ReplyCode.h"
#include "devserver/RequestItems.h"

#include <QRegularExpression>

using namespace RequestItems;

namespace {

constexpr int kMaxSize = 4000;

int requireSize(const TQueryItems& items, const char* name, int fallback)
{
    const int value = optionalInt(items, name, fallback);
    if (value < 0 || value > kMaxSize)
        throw TRequestRefused{ReplyCode::kBadRequest,
                              QStringLiteral("参数格式错误：%1").arg(QLatin1String(name))};
    return value;
}

} // namespace

TAdminOperations::TAdminOperations(TAccountStore& accounts, TNotificationQueue& notifications)
    : m_accounts(accounts), m_notifications(notifications)
{
}

TReplyEnvelope TAdminOperations::queueNotification(const TQueryItems& items)
{
    try {
        const QString userName = requiredUtf8(items, "userName");
        if (!m_accounts.find(userName))
            return TReplyEnvelope::failure(ReplyCode::kRefusedValue,
                                           QStringLiteral("用户不存在：%1").arg(userName));
        TNotification notification = TNotification::priceAlert();
        if (items.contains("url")) {
            notification.path = requiredUtf8(items, "url");
            const QRegularExpression blankOrControl(QStringLiteral("[\\x00-\\x20\\x7F]"));
            if (!notification.path.startsWith(QLatin1Char('/')) || notification.path.contains(blankOrControl))
                return TReplyEnvelope::failure(ReplyCode::kBadRequest, QStringLiteral("参数格式错误：url"));
        }
        notification.width = requireSize(items, "width", notification.width);
        notification.height = requireSize(items, "height", notification.height);
        notification.titleHeight = requireSize(items, "title_height", notification.titleHeight);
        m_notifications.push(userName, notification);
        return TReplyEnvelope::success();
    } catch (const TRequestRefused& refused) {
        return TReplyEnvelope::failure(refused.code, refused.message);
    }
}
