#pragma once

namespace quorvane {

// True in a build for a distribution package (the CMake option QUORVANE_DISTRIBUTION_PACKAGE):
// the system's package manager owns the program's files, so the client never replaces them. It
// still asks the download server for the version and tells the user of a newer one.
bool isDistributionPackage();

} // namespace quorvane
