#pragma once

namespace quorvane {

// Names the client and the updater program share.
namespace UpgradeName {
// The client's executable, in the package and in the application folder.
inline constexpr const char* kClientExe = "quorvane_client.exe";
// The updater program, beside the client.
inline constexpr const char* kUpdater = "upgrade";
// The package and its detached signature, on the download server and in the staging folder.
inline constexpr const char* kPackage = "quorvane_upgrade.cab";
inline constexpr const char* kSignature = "quorvane_upgrade.cab.minisig";
// The hand-over file in the configuration folder, and its keys.
inline constexpr const char* kInfoFile = "upgrade.ini";
inline constexpr const char* kSection = "Common";
inline constexpr const char* kFileName = "fileName";
inline constexpr const char* kDstFileName = "dstFileName";
inline constexpr const char* kVersionNo = "versionNo";
inline constexpr const char* kFileSize = "fileSize";
inline constexpr const char* kFileSha256 = "fileSha256";
// A package is staged in "<cache>/quorvane/update-XXXXXX": the package and its signature, and the
// unpacked files below "files".
inline constexpr const char* kCacheFolder = "quorvane";
inline constexpr const char* kStagingPrefix = "update-";
inline constexpr const char* kUnpackedFolder = "files";
// Written by the updater into the application folder when a new version failed to start and was
// taken back: the version, which is not offered again.
inline constexpr const char* kRolledBackFile = "upgrade-rolled-back.txt";
// The line the updater writes once it has checked the package and waits for the client to end.
inline constexpr const char* kReadyLine = "ready";
} // namespace UpgradeName

} // namespace quorvane
