#include "devserver/QueryItems.h"

#include "platform/AnsiCodePage.h"

#include <QStringDecoder>

namespace quorvane {

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// "%XX" becomes the byte, "+" a blank (form encoding); a "%" without two hexadecimal digits
// makes the whole value unusable.
std::optional<QByteArray> percentDecode(const QByteArray& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%') {
            if (i + 2 >= text.size())
                return std::nullopt;
            const int high = hexDigit(text[i + 1]);
            const int low = hexDigit(text[i + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            out += static_cast<char>(high << 4 | low);
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

QueryItems QueryItems::fromTarget(const std::string& target)
{
    QueryItems items;
    const QByteArray raw = QByteArray::fromStdString(target);
    const qsizetype question = raw.indexOf('?');
    if (question < 0)
        return items;
    QByteArray query = raw.mid(question + 1);
    const qsizetype fragment = query.indexOf('#');
    if (fragment >= 0)
        query.truncate(fragment);
    for (const QByteArray& part : query.split('&')) {
        if (part.isEmpty())
            continue;
        const qsizetype equals = part.indexOf('=');
        const QByteArray rawName = equals < 0 ? part : part.left(equals);
        const QByteArray rawValue = equals < 0 ? QByteArray() : part.mid(equals + 1);
        const std::optional<QByteArray> name = percentDecode(rawName);
        if (!name)
            continue;
        items.m_items.append({*name, percentDecode(rawValue)});
    }
    return items;
}

bool QueryItems::contains(const QByteArray& name) const
{
    return find(name) != nullptr;
}

std::optional<QByteArray> QueryItems::rawValue(const QByteArray& name) const
{
    const Item* item = find(name);
    if (!item)
        return std::nullopt;
    return item->value;
}

std::optional<QString> QueryItems::ansiText(const QByteArray& name) const
{
    const std::optional<QByteArray> bytes = rawValue(name);
    if (!bytes)
        return std::nullopt;
    const QString text = fromAnsi(*bytes);
    // fromAnsi marks bytes that are no code page 936 text with U+FFFD.
    if (text.contains(QChar::ReplacementCharacter))
        return std::nullopt;
    return text;
}

std::optional<QString> QueryItems::utf8Text(const QByteArray& name) const
{
    const std::optional<QByteArray> bytes = rawValue(name);
    if (!bytes)
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(*bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

const QueryItems::Item* QueryItems::find(const QByteArray& name) const
{
    for (const Item& item : m_items) {
        if (item.name == name)
            return &item;
    }
    return nullptr;
}

} // namespace quorvane
