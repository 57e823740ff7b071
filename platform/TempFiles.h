#pragma once

#include <QString>

namespace quorvane {

// Creates a new, empty file with a unique name that starts with `prefix` in `dir`
// and returns its full path; empty when no file could be created.
QString createUniqueTempFile(const QString& dir, const QString& prefix);

} // namespace quorvane
