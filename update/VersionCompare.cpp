#include "update/VersionCompare.h"

#include "platform/AnsiCodePage.h"
#include "server/ClientVersion.h"

#include <cstring>

namespace quorvane {

namespace {
// Versions compare over the width of CLIENT_VERSION: "01.00.201205281429".
constexpr size_t kVersionBytes = 18;
} // namespace

bool isNewerThanClient(const QString& version)
{
    if (version == QLatin1String("0") || version.isEmpty())
        return false;
    const QByteArray candidate = toAnsi(version);
    const QByteArray own = toAnsi(CLIENT_VERSION);
    return std::strncmp(candidate.constData(), own.constData(), kVersionBytes) > 0;
}

} // namespace quorvane
