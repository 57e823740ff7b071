#pragma once

#include <QString>
#include <QStringList>

namespace quorvane {

// An ordered list of "name=value" entries, as the URL parsers make them.
class NameValueList final
{
public:
    NameValueList() = default;
    explicit NameValueList(QStringList entries) : m_entries(std::move(entries)) {}

    // Splits a comma text: entries end at a comma or a blank, double quotes group,
    // and a comma as the very last character adds an empty entry.
    static NameValueList fromCommaText(const QString& text);

    const QStringList& entries() const { return m_entries; }

    // The part after "=" of the first entry whose name matches regardless of case; empty when none.
    QString value(const QString& name) const;

private:
    QStringList m_entries;
};

} // namespace quorvane
