#pragma once

#include <QString>

namespace quorvane {

// The hand-over record of "upgrade.ini" (section "Common"); a missing key reads as empty.
struct UpgradeInfo
{
    QString fileName;    // full path of the unpacked new executable
    QString dstFileName; // the name it must get in the application folder
    QString versionNo;   // the version file's body, as fetched
    QString fileSize;    // size of the unpacked executable, in bytes
    QString fileSha256;  // its SHA-256, in hexadecimal
};

} // namespace quorvane
