#pragma once

#include <QString>
#include <optional>

namespace quorvane {

// Bytes an unprivileged user may still write on the file system that holds `folder`; nothing
// when the system cannot tell.
std::optional<qint64> freeDiskBytes(const QString& folder);

} // namespace quorvane
