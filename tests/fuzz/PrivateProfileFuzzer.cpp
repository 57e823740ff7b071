// The INI reader and writer on any file: what a hand-edited, damaged or hostile quorvane.ini or
// upgrade.ini may hold.
#include "tests/fuzz/FuzzTarget.h"

#include "platform/AnsiCodePage.h"
#include "platform/Failure.h"
#include "platform/PrivateProfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <utility>
#include <vector>

namespace quorvane {

namespace {

// A name the writer can be asked for: what a caller of the client passes.
bool isPlainName(const QString& name)
{
    if (name.isEmpty() || name != name.trimmed() || fromAnsi(toAnsi(name)) != name)
        return false;
    for (const QChar c : name) {
        if (c.unicode() < 32 || c == QLatin1Char('[') || c == QLatin1Char(']') || c == QLatin1Char('=') ||
            c == QLatin1Char(';'))
            return false;
    }
    return true;
}

// What reading gives back after writing `value`: line breaks become blanks, blanks around the
// value and one pair of quotes go, and the code page replaces what it cannot hold.
QString readBack(const QString& value)
{
    QString safe = value;
    safe.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    QByteArray bytes = toAnsi(safe).trimmed();
    if (bytes.size() >= 2 && bytes.startsWith('"') && bytes.endsWith('"'))
        bytes = bytes.mid(1, bytes.size() - 2);
    return fromAnsi(bytes).left(2047);
}

// Section and key names as they appear in the file, a few of each.
std::vector<std::pair<QString, QString>> namesIn(const QByteArray& content)
{
    QStringList sections{QStringLiteral("Common")};
    QStringList keys{QStringLiteral("app_root"), QStringLiteral("versionNo")};
    for (const QByteArray& raw : content.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[') && line.contains(']') && sections.size() < 6)
            sections << fromAnsi(line.mid(1, line.indexOf(']') - 1).trimmed());
        else if (line.indexOf('=') > 0 && keys.size() < 8)
            keys << fromAnsi(line.left(line.indexOf('=')).trimmed());
    }
    std::vector<std::pair<QString, QString>> names;
    for (const QString& section : sections)
        for (const QString& key : keys)
            names.emplace_back(section, key);
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir scratch;
    const QString file = scratch.filePath(QStringLiteral("quorvane.ini"));
    const QList<QByteArray> parts = Fuzz::parts(Fuzz::bytes(data, size), 4);
    const QString section = fromAnsi(parts[0]);
    const QString key = fromAnsi(parts[1]);
    const QString value = fromAnsi(parts[2]);
    const QByteArray& content = parts[3];
    {
        QFile out(file);
        FUZZ_CHECK(out.open(QIODevice::WriteOnly | QIODevice::Truncate), "the scratch file can be written");
        out.write(content);
    }

    readProfileString(file, section, key, QStringLiteral("default"));
    readProfileInt(file, section, key, -7);
    const auto names = namesIn(content);
    std::vector<QString> before;
    for (const auto& [s, k] : names)
        before.push_back(readProfileString(file, s, k, QStringLiteral("\x01missing")));

    if (!isPlainName(section) || !isPlainName(key))
        return 0;
    try {
        writeProfileString(file, section, key, value);
    } catch (const Failure&) {
        FUZZ_CHECK(false, "a write to a writable file succeeds");
    }
    FUZZ_CHECK(readProfileString(file, section, key, QStringLiteral("\x01missing")) == readBack(value),
               "a written value reads back");
    for (size_t i = 0; i < names.size(); ++i) {
        const auto& [s, k] = names[i];
        if (s.compare(section, Qt::CaseInsensitive) == 0 && k.compare(key, Qt::CaseInsensitive) == 0)
            continue;
        FUZZ_CHECK(readProfileString(file, s, k, QStringLiteral("\x01missing")) == before[i],
                   "writing one key leaves every other key as it was");
    }
    return 0;
}

} // namespace quorvane
