#pragma once

#include "tests/fuzz/FuzzTarget.h"

#include "config/NameValueList.h"

#include <QString>

namespace quorvane {

namespace Fuzz {

// What holds for any list the URL parsers make from `source`.
inline void checkEntries(const NameValueList& list, const QString& source)
{
    const bool quoted = source.contains(QLatin1Char('"'));
    for (const QString& entry : list.entries()) {
        FUZZ_CHECK(!entry.contains(QChar(0)), "the text ends at a NUL character");
        if (quoted)
            continue;
        FUZZ_CHECK(!entry.contains(QLatin1Char(',')), "a comma always ends an entry");
        for (const QChar c : entry)
            FUZZ_CHECK(c.unicode() > 32, "a blank outside quotes ends an entry");
    }
    // Lookups of any name, in any case, of names that are there and names that are not.
    for (const QString& entry : list.entries()) {
        const QString name = entry.section(QLatin1Char('='), 0, 0);
        list.value(name.toUpper());
    }
    list.value(QString());
    list.value(QStringLiteral("url"));
}

} // namespace Fuzz

} // namespace quorvane
