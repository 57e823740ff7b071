#include "platform/Autostart.h"

#include "platform/SystemPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace quorvane {

namespace {

QString entryPath()
{
    return configHomeDir() + QStringLiteral("/autostart/quorvane.desktop");
}

} // namespace

QString readAutostartCommand()
{
    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QString command;
    bool inMainGroup = false;
    bool switchedOff = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inMainGroup || equals < 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (key == QLatin1String("Exec") && command.isEmpty())
            command = value;
        // A desktop's own switch for an entry: the entry stays, but nothing starts.
        else if (key == QLatin1String("Hidden"))
            switchedOff = switchedOff || value == QLatin1String("true");
        else if (key == QLatin1String("X-GNOME-Autostart-enabled"))
            switchedOff = switchedOff || value == QLatin1String("false");
    }
    return switchedOff ? QString() : command;
}

QString autostartCommandFor(const QString& programPath)
{
    // The desktop-entry format splits Exec at blanks; such paths must be quoted.
    static const QString special = QStringLiteral(" \t\"'\\`$<>~|&;*?#()");
    bool needsQuotes = false;
    for (const QChar c : programPath)
        needsQuotes = needsQuotes || special.contains(c);
    if (!needsQuotes)
        return programPath;
    QString quoted = programPath;
    quoted.replace(QLatin1String("\\"), QLatin1String("\\\\"))
        .replace(QLatin1String("\""), QLatin1String("\\\""))
        .replace(QLatin1String("`"), QLatin1String("\\`"))
        .replace(QLatin1String("$"), QLatin1String("\\$"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool writeAutostartEntry(const QString& programPath)
{
    const QString path = entryPath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Quorvane\n"
                                         "Exec=%1\n"
                                         "Icon=quorvane\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(autostartCommandFor(programPath));
    file.write(entry.toUtf8());
    return file.commit();
}

void removeAutostartEntry()
{
    QFile::remove(entryPath());
}

} // namespace quorvane
