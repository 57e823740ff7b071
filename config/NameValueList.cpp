#include "config/NameValueList.h"

namespace quorvane {

namespace {

bool isBlank(QChar c)
{
    return c.unicode() >= 1 && c.unicode() <= 32;
}

// A quoted entry: two double quotes inside stand for one; an unclosed quote runs to the end.
QString takeQuoted(const QString& text, qsizetype& pos)
{
    QString entry;
    ++pos;
    while (pos < text.size()) {
        const QChar c = text[pos++];
        if (c != QLatin1Char('"')) {
            entry += c;
            continue;
        }
        if (pos < text.size() && text[pos] == QLatin1Char('"')) {
            entry += c;
            ++pos;
            continue;
        }
        break;
    }
    return entry;
}

} // namespace

NameValueList NameValueList::fromCommaText(const QString& input)
{
    // The text ends at a NUL character, as the text it was made from would.
    const QString text = input.left(input.indexOf(QChar(0)) < 0 ? input.size() : input.indexOf(QChar(0)));
    QStringList entries;
    qsizetype pos = 0;
    const auto skipBlanks = [&] {
        while (pos < text.size() && isBlank(text[pos]))
            ++pos;
    };

    skipBlanks();
    while (pos < text.size()) {
        if (text[pos] == QLatin1Char('"')) {
            entries.append(takeQuoted(text, pos));
        } else {
            const qsizetype start = pos;
            while (pos < text.size() && text[pos].unicode() > 32 && text[pos] != QLatin1Char(','))
                ++pos;
            entries.append(text.mid(start, pos - start));
        }
        skipBlanks();
        if (pos < text.size() && text[pos] == QLatin1Char(',')) {
            if (pos == text.size() - 1)
                entries.append(QString());
            ++pos;
            skipBlanks();
        }
    }
    return NameValueList(entries);
}

QString NameValueList::value(const QString& name) const
{
    for (const QString& entry : m_entries) {
        const qsizetype equals = entry.indexOf(QLatin1Char('='));
        if (equals >= 0 && entry.left(equals).compare(name, Qt::CaseInsensitive) == 0)
            return entry.mid(equals + 1);
    }
    return {};
}

} // namespace quorvane
