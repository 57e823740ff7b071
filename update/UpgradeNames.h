#pragma once

// Names the client and the updater program share.
namespace UpgradeName {
// The client's executable, in the package and in the application folder.
inline constexpr const char* kClientExe = "quorvane_client.exe";
// The updater program, beside the client.
inline constexpr const char* kUpdater = "upgrade";
// The hand-over file in the configuration folder, and its keys.
inline constexpr const char* kInfoFile = "upgrade.ini";
inline constexpr const char* kSection = "Common";
inline constexpr const char* kFileName = "fileName";
inline constexpr const char* kDstFileName = "dstFileName";
inline constexpr const char* kVersionNo = "versionNo";
} // namespace UpgradeName
