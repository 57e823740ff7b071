#include "platform/ProgramFiles.h"

namespace quorvane {

QString nativeProgramFileName(const QString& packageName)
{
    static const QString suffix = QStringLiteral(".exe");
    if (packageName.size() > suffix.size() && packageName.endsWith(suffix, Qt::CaseInsensitive))
        return packageName.left(packageName.size() - suffix.size());
    return packageName;
}

} // namespace quorvane
