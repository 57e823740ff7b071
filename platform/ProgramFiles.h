#pragma once

#include <QString>

namespace quorvane {

// Packages and the hand-over file name programs the Windows way ("quorvane_client.exe");
// this gives the file name the program has on this system.
QString nativeProgramFileName(const QString& packageName);

} // namespace quorvane
