#pragma once

namespace quorvane {

// The servers a fresh installation talks to. "app_root" and "down_url" in quorvane.ini
// override them (the demo and the tests point them at 127.0.0.1).
inline constexpr const char* kDefaultAppRoot = "http://www.quorvane.com";
inline constexpr const char* kDefaultContextRoot = "/quorvane2";
inline constexpr const char* kDefaultDownRoot = "http://download.quorvane.com";
inline constexpr const char* kDownloadPath = "/res/download";
// The download folder on the download server: kDefaultDownRoot followed by kDownloadPath.
inline constexpr const char* kDefaultDownUrl = "http://download.quorvane.com/res/download";

} // namespace quorvane
