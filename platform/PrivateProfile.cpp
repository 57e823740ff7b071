#include "platform/PrivateProfile.h"

#include "platform/AnsiCodePage.h"
#include "platform/Failure.h"

#include <QFile>
#include <QSaveFile>
#include <mutex>
#include <optional>

namespace quorvane {

namespace {

constexpr qsizetype kMaxValueLength = 2047;

// Both threads of the client read and write the same file; a write is read-modify-replace.
std::mutex& profileMutex()
{
    static std::mutex mutex;
    return mutex;
}

struct Line
{
    QByteArray text;   // without its ending
    QByteArray ending; // "\r\n", "\n" or empty for a last line without one
};

QList<Line> splitLines(const QByteArray& content)
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

std::optional<QString> sectionName(const QByteArray& line)
{
    if (!line.trimmed().startsWith('['))
        return std::nullopt;
    // Decoded before looking for "]": in code page 936 the second byte of a Chinese character
    // may be that byte.
    const QString trimmed = fromAnsi(line).trimmed();
    const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    if (close < 0)
        return std::nullopt;
    return trimmed.mid(1, close - 1).trimmed();
}

// The key of a key=value line; comment lines and lines without "=" have none.
std::optional<QString> keyName(const QByteArray& line)
{
    const QByteArray trimmed = line.trimmed();
    if (trimmed.startsWith(';'))
        return std::nullopt;
    const qsizetype equals = trimmed.indexOf('=');
    if (equals <= 0)
        return std::nullopt;
    return fromAnsi(trimmed.left(equals).trimmed());
}

bool sameName(const QString& a, const QString& b)
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

Location find(const QList<Line>& lines, const QString& section, const QString& key)
{
    Location where;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionName(lines[i].text)) {
            if (inSection)
                break;
            inSection = sameName(*name, section);
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
        if (const auto name = keyName(lines[i].text); name && sameName(*name, key)) {
            where.keyLine = i;
            break;
        }
    }
    return where;
}

QByteArray readAll(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QByteArray unquote(QByteArray value)
{
    if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
        return value.mid(1, value.size() - 2);
    return value;
}

} // namespace

QString readProfileString(const QString& file, const QString& section, const QString& key,
                          const QString& defaultValue)
{
    QByteArray content;
    {
        std::lock_guard lock(profileMutex());
        content = readAll(file);
    }
    const QList<Line> lines = splitLines(content);
    const Location where = find(lines, section, key);
    if (!where.keyLine)
        return defaultValue;
    const QByteArray& line = lines[*where.keyLine].text;
    const QByteArray value = unquote(line.mid(line.indexOf('=') + 1).trimmed());
    return fromAnsi(value).left(kMaxValueLength);
}

int readProfileInt(const QString& file, const QString& section, const QString& key, int defaultValue)
{
    const QString text = readProfileString(file, section, key, QString()).trimmed();
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : defaultValue;
}

void writeProfileString(const QString& file, const QString& section, const QString& key, const QString& value)
{
    // A line break inside a value would smuggle further keys into the file.
    QString safeValue = value;
    safeValue.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QByteArray keyLine = toAnsi(key) + '=' + toAnsi(safeValue);

    std::lock_guard lock(profileMutex());
    QList<Line> lines = splitLines(readAll(file));
    const QByteArray newline = (!lines.isEmpty() && lines.first().ending == "\r\n") ? "\r\n" : "\n";
    const Location where = find(lines, section, key);
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
        lines.append({'[' + toAnsi(section) + ']', newline});
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
        throw Failure(QStringLiteral("Cannot write \"%1\": %2").arg(file, out.errorString()));
}

} // namespace quorvane
