#include "server/QueryEncoding.h"

#include "platform/AnsiCodePage.h"

QString EncodeQueryValue(const QString& value)
{
    return QString::fromLatin1(ToAnsi(value).toPercentEncoding());
}
