#pragma once

#include <QString>

namespace quorvane {

// True when `version` is newer than this build's CLIENT_VERSION: not "0", not empty, and greater
// in a byte comparison of the code-page texts over at most 18 bytes that stops at the end of
// either.
bool isNewerThanClient(const QString& version);

} // namespace quorvane
