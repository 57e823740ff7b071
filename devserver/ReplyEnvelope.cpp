#include "devserver/ReplyEnvelope.h"

#include "platform/AnsiCodePage.h"

namespace quorvane {

namespace {

// XML 1.0 allows no control characters besides tab and line ends.
QString xmlText(const QString& value)
{
    QString text = value.toHtmlEscaped();
    for (QChar& c : text) {
        if (c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            c = QLatin1Char('?');
    }
    return text;
}

} // namespace

ReplyEnvelope ReplyEnvelope::success()
{
    return ReplyEnvelope(0);
}

ReplyEnvelope ReplyEnvelope::failure(int code, const QString& message)
{
    ReplyEnvelope reply(code);
    reply.set("msg", message);
    return reply;
}

ReplyEnvelope& ReplyEnvelope::set(const char* name, const QString& value)
{
    m_values.append({QByteArray(name), value});
    return *this;
}

QByteArray ReplyEnvelope::toBytes() const
{
    QString xml =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"GBK\"?>\n<responsed><code>%1</code>").arg(m_code);
    for (const auto& [name, value] : m_values) {
        const QString element = QString::fromLatin1(name);
        xml += QStringLiteral("<%1>%2</%1>").arg(element, xmlText(value));
    }
    xml += QStringLiteral("</responsed>\n");
    return toAnsi(xml);
}

} // namespace quorvane
