#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <string>

namespace quorvane {

// The query of a request target: name=value items separated by "&", percent-encoded. The client
// encodes its values as code page 936 bytes; forms in the service's own pages send UTF-8.
class QueryItems final
{
public:
    static QueryItems fromTarget(const std::string& target);

    // Whether an item of this name is present (the first one counts, as in the client's lookups).
    bool contains(const QByteArray& name) const;

    // The decoded bytes of the first item of this name; nothing when it is absent or its
    // percent-encoding is broken.
    std::optional<QByteArray> rawValue(const QByteArray& name) const;

    // The value as text. Nothing when absent, broken, or not valid in that encoding.
    std::optional<QString> ansiText(const QByteArray& name) const;
    std::optional<QString> utf8Text(const QByteArray& name) const;

private:
    struct Item
    {
        QByteArray name;
        std::optional<QByteArray> value; // nothing: broken percent-encoding
    };

    const Item* find(const QByteArray& name) const;

    QList<Item> m_items;
};

} // namespace quorvane
