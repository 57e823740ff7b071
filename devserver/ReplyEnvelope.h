#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace quorvane {

// The application server's reply: an XML document whose root "responsed" holds one child element
// per value (code, msg, token, role, url, width, height, title_height), sent as code page 936 bytes.
class ReplyEnvelope final
{
public:
    static constexpr const char* kContentType = "text/xml; charset=GBK";

    static ReplyEnvelope success();
    static ReplyEnvelope failure(int code, const QString& message);

    // Adds a child element after the ones already set.
    ReplyEnvelope& set(const char* name, const QString& value);

    int code() const { return m_code; }

    QByteArray toBytes() const;

private:
    explicit ReplyEnvelope(int code) : m_code(code) {}

    int m_code;
    QList<QPair<QByteArray, QString>> m_values;
};

} // namespace quorvane
