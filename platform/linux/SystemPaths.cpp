#include "platform/SystemPaths.h"

#include "platform/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {

QString localAppDataDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString tempDir()
{
    // Qt gives an empty path when TMPDIR names a folder that does not exist; files written to
    // "" + name would land in the root folder.
    const QString dir = QDir::cleanPath(QDir::tempPath());
    if (dir.isEmpty())
        return QStringLiteral("/tmp");
    return dir;
}

QString runtimeDir()
{
    // The single-instance lock and its request channel live here. A folder that another user
    // made, or may enter, would let them hold the lock (the client never starts) or answer its
    // requests; then the client uses a private folder of its own below its cache folder.
    const QString system = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    struct stat info
    {
    };
    if (!system.isEmpty() && lstat(QFile::encodeName(system).constData(), &info) == 0 &&
        S_ISDIR(info.st_mode) && info.st_uid == getuid() && (info.st_mode & 077) == 0)
        return system;
    const QString own = cacheDir() + QStringLiteral("/quorvane/runtime");
    ensurePrivateFolder(own);
    return own;
}

QString cacheDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
}

QString configHomeDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString executablePath()
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString appDir()
{
    return QFileInfo(executablePath()).absolutePath();
}

} // namespace quorvane
