#pragma once

#include <QString>

namespace quorvane {

// The minisign public key this build trusts for update packages, set at build time by the CMake
// cache variable QUORVANE_UPDATE_PUBLIC_KEY. Empty when the build has none: such a build never
// downloads or installs a package.
QString trustedUpdateKey();

} // namespace quorvane
