#include "devserver/RequestItems.h"

#include "devserver/ReplyCode.h"

namespace {

[[noreturn]] void RefuseMissing(const char* name)
{
    throw TRequestRefused{ReplyCode::kBadRequest, QStringLiteral("缺少参数：%1").arg(QLatin1String(name))};
}

[[noreturn]] void RefuseMalformed(const char* name)
{
    throw TRequestRefused{ReplyCode::kBadRequest,
                          QStringLiteral("参数格式错误：%1").arg(QLatin1String(name))};
}

QString Required(const TQueryItems& items, const char* name, const std::optional<QString>& value)
{
    if (!items.Contains(name))
        RefuseMissing(name);
    if (!value)
        RefuseMalformed(name);
    if (value->isEmpty())
        RefuseMissing(name);
    return *value;
}

} // namespace

namespace RequestItems {

QString RequiredAnsi(const TQueryItems& items, const char* name)
{
    return Required(items, name, items.AnsiText(name));
}

QString RequiredUtf8(const TQueryItems& items, const char* name)
{
    return Required(items, name, items.Utf8Text(name));
}

int OptionalInt(const TQueryItems& items, const char* name, int fallback)
{
    if (!items.Contains(name))
        return fallback;
    return RequiredInt(items, name);
}

int RequiredInt(const TQueryItems& items, const char* name)
{
    const QString text = RequiredAnsi(items, name);
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok)
        RefuseMalformed(name);
    return value;
}

void RequireXmlFormat(const TQueryItems& items)
{
    if (RequiredAnsi(items, "format") != QLatin1String("xml"))
        RefuseMalformed("format");
}

} // namespace RequestItems
