#include "devserver/AdminOperations.h"

#include "devserver/AccountStore.h"
#include "devserver/NotificationQueue.h"
#include "devserver/ReplyCode.h"
#include "devserver/RequestItems.h"

#include <QRegularExpression>

using namespace RequestItems;

namespace {

constexpr int kMaxSize = 4000;

int RequireSize(const TQueryItems& items, const char* name, int fallback)
{
    const int value = OptionalInt(items, name, fallback);
    if (value < 0 || value > kMaxSize)
        throw TRequestRefused{ReplyCode::kBadRequest,
                              QStringLiteral("参数格式错误：%1").arg(QLatin1String(name))};
    return value;
}

} // namespace

TAdminOperations::TAdminOperations(TAccountStore& accounts, TNotificationQueue& notifications)
    : accounts_(accounts), notifications_(notifications)
{
}

TReplyEnvelope TAdminOperations::QueueNotification(const TQueryItems& items)
{
    try {
        const QString userName = RequiredUtf8(items, "userName");
        if (!accounts_.Find(userName))
            return TReplyEnvelope::Failure(ReplyCode::kRefusedValue,
                                           QStringLiteral("用户不存在：%1").arg(userName));
        TNotification notification = TNotification::PriceAlert();
        if (items.Contains("url")) {
            notification.path = RequiredUtf8(items, "url");
            const QRegularExpression blankOrControl(QStringLiteral("[\\x00-\\x20\\x7F]"));
            if (!notification.path.startsWith(QLatin1Char('/')) || notification.path.contains(blankOrControl))
                return TReplyEnvelope::Failure(ReplyCode::kBadRequest, QStringLiteral("参数格式错误：url"));
        }
        notification.width = RequireSize(items, "width", notification.width);
        notification.height = RequireSize(items, "height", notification.height);
        notification.titleHeight = RequireSize(items, "title_height", notification.titleHeight);
        notifications_.Push(userName, notification);
        return TReplyEnvelope::Success();
    } catch (const TRequestRefused& refused) {
        return TReplyEnvelope::Failure(refused.code, refused.message);
    }
}
