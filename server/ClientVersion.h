#pragma once

#include <QString>

namespace quorvane {

// The version this build calls itself, fixed at build time by the CMake cache variable
// QUORVANE_CLIENT_VERSION (tests and the demo build a newer client by setting it).
#ifndef QUORVANE_CLIENT_VERSION
#error "QUORVANE_CLIENT_VERSION is defined by the quorvane_server target"
#endif

inline const QString CLIENT_VERSION = QStringLiteral(QUORVANE_CLIENT_VERSION);

} // namespace quorvane
