#include "platform/SystemPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <unistd.h>

QString LocalAppDataDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString TempDir()
{
    // Qt gives an empty path when TMPDIR names a folder that does not exist; files written to
    // "" + name would land in the root folder.
    const QString dir = QDir::cleanPath(QDir::tempPath());
    if (dir.isEmpty())
        return QStringLiteral("/tmp");
    return dir;
}

QString RuntimeDir()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = TempDir() + QStringLiteral("/quorvane-runtime-") + QString::number(getuid());
    QDir().mkpath(dir);
    return dir;
}

QString CacheDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
}

QString ConfigHomeDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString ExecutablePath()
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString AppDir()
{
    return QFileInfo(ExecutablePath()).absolutePath();
}
