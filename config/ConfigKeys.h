#pragma once

// The keys of quorvane.ini, all in the section [Common].
namespace ConfigKey {
inline constexpr const char* kSection = "Common";
inline constexpr const char* kAppRoot = "app_root";
inline constexpr const char* kContextRoot = "context_root";
inline constexpr const char* kDownUrl = "down_url";
inline constexpr const char* kFirstRun = "firstRun";
inline constexpr const char* kUserName = "uname";
inline constexpr const char* kPassword = "passwd";
inline constexpr const char* kRememberPass = "rember_pass";
inline constexpr const char* kAutoLogin = "auto_login";
inline constexpr const char* kUserType = "user_type";
inline constexpr const char* kHandle = "handle";
inline constexpr const char* kCloseOnExit = "close_on_exit";
} // namespace ConfigKey
