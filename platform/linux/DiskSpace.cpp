#include "platform/DiskSpace.h"

#include <QFile>
#include <sys/statvfs.h>

namespace quorvane {

std::optional<qint64> freeDiskBytes(const QString& folder)
{
    struct statvfs info
    {
    };
    if (statvfs(QFile::encodeName(folder).constData(), &info) != 0)
        return std::nullopt;
    return qint64(info.f_bavail) * qint64(info.f_frsize);
}

} // namespace quorvane
