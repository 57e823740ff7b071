#pragma once

#include <QString>
#include <QStringList>

// An ordered list of "name=value" entries, as the URL parsers make them.
class TNameValueList final
{
public:
    TNameValueList() = default;
    explicit TNameValueList(QStringList entries) : entries_(std::move(entries)) {}

    // Splits a comma text: entries end at a comma or a blank, double quotes group,
    // and a comma as the very last character adds an empty entry.
    static TNameValueList FromCommaText(const QString& text);

    const QStringList& Entries() const { return entries_; }

    // The part after "=" of the first entry whose name matches regardless of case; empty when none.
    QString Value(const QString& name) const;

private:
    QStringList entries_;
};
