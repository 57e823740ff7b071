#include "platform/TempFiles.h"

#include <QFile>
#include <cstdlib>
#include <unistd.h>

namespace quorvane {

QString createUniqueTempFile(const QString& dir, const QString& prefix)
{
    QByteArray pattern = QFile::encodeName(dir + QLatin1Char('/') + prefix) + "XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0)
        return {};
    close(fd);
    return QFile::decodeName(pattern);
}

} // namespace quorvane
