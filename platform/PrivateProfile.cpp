#include "platform/PrivateProfile.h"

#include "platform/AnsiCodePage.h"
#include "platform/Failure.h"

#include <QFile>
#include <QSaveFile>
#include <mutex>
#include <optional>

namespace {

constexpr qsizetype kMaxValueLength = 2047;

// Both threads of the client read and write the same file; a write is read-modify-replace.
std::mutex& ProfileMutex()
{
    static std::mutex mutex;
    return mutex;
}

struct Line
{
    QByteArray text;   // without its ending
    QByteArray ending; // "\r\n", "\n" or empty for a last line without one
};

QList<Line> SplitLines(const QByteArray& content)
{
    QList<Line> lines;
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf('\n', start);
        if (end < 0) {
            lines.append({content.mid(start), {}});
            break;
        }
        const bool crlf = end > start && content[end - 1] == '\r';
        lines.append({content.mid(start, end - start - (crlf ? 1 : 0)), crlf ? "\r\n" : "\n"});
        start = end + 1;
    }
    return lines;
}

std::optional<QString> SectionName(const QByteArray& line)
{
    if (!line.trimmed().startsWith('['))
        return std::nullopt;
    // Decoded before looking for "]": in code page 936 the second byte of a Chinese character
    // may be that byte.
    const QString trimmed = FromAnsi(line).trimmed();
    const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    if (close < 0)
        return std::nullopt;
    return trimmed.mid(1, close - 1).trimmed();
}

// The key of a key=value line; comment lines and lines without "=" have none.
std::optional<QString> KeyName(const QByteArray& line)
{
    const QByteArray trimmed = line.trimmed();
    if (trimmed.startsWith(';'))
        return std::nullopt;
    const qsizetype equals = trimmed.indexOf('=');
    if (equals <= 0)
        return std::nullopt;
    return FromAnsi(trimmed.left(equals).trimmed());
}

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Where a key sits in the file: the line of the section header and of the key, when present.
struct Location
{
    std::optional<qsizetype> sectionLine;
    std::optional<qsizetype> keyLine;
    qsizetype lastContentLine = -1; // last non-blank line of the section
};

Location Find(const QList<Line>& lines, const QString& section, const QString& key)
{
    Location where;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto name = SectionName(lines[i].text)) {
            if (inSection)
                break;
            inSection = SameName(*name, section);
            if (inSection) {
                where.sectionLine = i;
                where.lastContentLine = i;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (!lines[i].text.trimmed().isEmpty())
            where.lastContentLine = i;
        if (const auto name = KeyName(lines[i].text); name && SameName(*name, key)) {
            where.keyLine = i;
            break;
        }
    }
    return where;
}

QByteArray ReadAll(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QByteArray Unquote(QByteArray value)
{
    if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
        return value.mid(1, value.size() - 2);
    return value;
}

} // namespace

QString ReadProfileString(const QString& file, const QString& section, const QString& key,
                          const QString& defaultValue)
{
    QByteArray content;
    {
        std::lock_guard lock(ProfileMutex());
        content = ReadAll(file);
    }
    const QList<Line> lines = SplitLines(content);
    const Location where = Find(lines, section, key);
    if (!where.keyLine)
        return defaultValue;
    const QByteArray& line = lines[*where.keyLine].text;
    const QByteArray value = Unquote(line.mid(line.indexOf('=') + 1).trimmed());
    return FromAnsi(value).left(kMaxValueLength);
}

int ReadProfileInt(const QString& file, const QString& section, const QString& key, int defaultValue)
{
    const QString text = ReadProfileString(file, section, key, QString()).trimmed();
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : defaultValue;
}

void WriteProfileString(const QString& file, const QString& section, const QString& key, const QString& value)
{
    // A line break inside a value would smuggle further keys into the file.
    QString safeValue = value;
    safeValue.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QByteArray keyLine = ToAnsi(key) + '=' + ToAnsi(safeValue);

    std::lock_guard lock(ProfileMutex());
    QList<Line> lines = SplitLines(ReadAll(file));
    const QByteArray newline = (!lines.isEmpty() && lines.first().ending == "\r\n") ? "\r\n" : "\n";
    const Location where = Find(lines, section, key);
    if (where.keyLine) {
        lines[*where.keyLine].text = keyLine;
    } else if (where.sectionLine) {
        Line& previous = lines[where.lastContentLine];
        if (previous.ending.isEmpty())
            previous.ending = newline;
        lines.insert(where.lastContentLine + 1, {keyLine, newline});
    } else {
        if (!lines.isEmpty() && lines.last().ending.isEmpty())
            lines.last().ending = newline;
        lines.append({'[' + ToAnsi(section) + ']', newline});
        lines.append({keyLine, newline});
    }

    QByteArray content;
    for (const Line& line : lines)
        content += line.text + line.ending;

    QSaveFile out(file);
    // The files hold a saved login and the addresses updates come from: the user's alone.
    if (!out.open(QIODevice::WriteOnly) ||
        !out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        out.write(content) != content.size() || !out.commit())
        throw TFailure(QStringLiteral("Cannot write \"%1\": %2").arg(file, out.errorString()));
}
