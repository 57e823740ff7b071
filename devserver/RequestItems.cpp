#include "devserver/RequestItems.h"

#include "devserver/ReplyCode.h"

namespace quorvane {

namespace {

[[noreturn]] void refuseMissing(const char* name)
{
    throw RequestRefused{ReplyCode::kBadRequest, QStringLiteral("缺少参数：%1").arg(QLatin1String(name))};
}

[[noreturn]] void refuseMalformed(const char* name)
{
    throw RequestRefused{ReplyCode::kBadRequest, QStringLiteral("参数格式错误：%1").arg(QLatin1String(name))};
}

QString required(const QueryItems& items, const char* name, const std::optional<QString>& value)
{
    if (!items.contains(name))
        refuseMissing(name);
    if (!value)
        refuseMalformed(name);
    if (value->isEmpty())
        refuseMissing(name);
    return *value;
}

} // namespace

namespace RequestItems {

QString requiredAnsi(const QueryItems& items, const char* name)
{
    return required(items, name, items.ansiText(name));
}

QString requiredUtf8(const QueryItems& items, const char* name)
{
    return required(items, name, items.utf8Text(name));
}

int optionalInt(const QueryItems& items, const char* name, int fallback)
{
    if (!items.contains(name))
        return fallback;
    return requiredInt(items, name);
}

int requiredInt(const QueryItems& items, const char* name)
{
    const QString text = requiredAnsi(items, name);
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok)
        refuseMalformed(name);
    return value;
}

void requireXmlFormat(const QueryItems& items)
{
    if (requiredAnsi(items, "format") != QLatin1String("xml"))
        refuseMalformed("format");
}

} // namespace RequestItems

} // namespace quorvane
