#include "update/TrustedKey.h"

namespace quorvane {

#ifndef QUORVANE_UPDATE_PUBLIC_KEY
#error "QUORVANE_UPDATE_PUBLIC_KEY is defined by the quorvane_package target"
#endif

QString trustedUpdateKey()
{
    return QStringLiteral(QUORVANE_UPDATE_PUBLIC_KEY).trimmed();
}

} // namespace quorvane
