#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// The application server's reply: an XML document whose root "responsed" holds one child element
// per value (code, msg, token, role, url, width, height, title_height), sent as code page 936 bytes.
class TReplyEnvelope final
{
public:
    static constexpr const char* kContentType = "text/xml; charset=GBK";

    static TReplyEnvelope Success();
    static TReplyEnvelope Failure(int code, const QString& message);

    // Adds a child element after the ones already set.
    TReplyEnvelope& Set(const char* name, const QString& value);

    int Code() const { return code_; }

    QByteArray ToBytes() const;

private:
    explicit TReplyEnvelope(int code) : code_(code) {}

    int code_;
    QList<QPair<QByteArray, QString>> values_;
};
