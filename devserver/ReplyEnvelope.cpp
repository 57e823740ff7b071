#include "devserver/ReplyEnvelope.h"

#include "platform/AnsiCodePage.h"

namespace {

// XML 1.0 allows no control characters besides tab and line ends.
QString XmlText(const QString& value)
{
    QString text = value.toHtmlEscaped();
    for (QChar& c : text) {
        if (c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            c = QLatin1Char('?');
    }
    return text;
}

} // namespace

TReplyEnvelope TReplyEnvelope::Success()
{
    return TReplyEnvelope(0);
}

TReplyEnvelope TReplyEnvelope::Failure(int code, const QString& message)
{
    TReplyEnvelope reply(code);
    reply.Set("msg", message);
    return reply;
}

TReplyEnvelope& TReplyEnvelope::Set(const char* name, const QString& value)
{
    values_.append({QByteArray(name), value});
    return *this;
}

QByteArray TReplyEnvelope::ToBytes() const
{
    QString xml =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"GBK\"?>\n<responsed><code>%1</code>").arg(code_);
    for (const auto& [name, value] : values_) {
        const QString element = QString::fromLatin1(name);
        xml += QStringLiteral("<%1>%2</%1>").arg(element, XmlText(value));
    }
    xml += QStringLiteral("</responsed>\n");
    return ToAnsi(xml);
}
