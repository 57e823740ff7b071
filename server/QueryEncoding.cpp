#include "server/QueryEncoding.h"

#include "platform/AnsiCodePage.h"

namespace quorvane {

QString encodeQueryValue(const QString& value)
{
    return QString::fromLatin1(toAnsi(value).toPercentEncoding());
}

} // namespace quorvane
