#pragma once

#include "config/ServerDefaults.h"

namespace quorvane {

// An entry of quorvane.ini and what it reads as while it is missing ("1" and "0" for on and off).
struct ConfigEntry
{
    const char* key;
    const char* defaultValue;
};

// Every entry of quorvane.ini, all in the section [Common].
namespace ConfigKey {
inline constexpr const char* kSection = "Common";
inline constexpr ConfigEntry kAppRoot{"app_root", kDefaultAppRoot};
inline constexpr ConfigEntry kContextRoot{"context_root", kDefaultContextRoot};
inline constexpr ConfigEntry kDownUrl{"down_url", kDefaultDownUrl};
inline constexpr ConfigEntry kFirstRun{"firstRun", "1"};
inline constexpr ConfigEntry kUserName{"uname", ""};
inline constexpr ConfigEntry kPassword{"passwd", ""};
inline constexpr ConfigEntry kRememberPass{"rember_pass", "1"};
// One key, two readings of a missing entry: the saved login reads it as on, so that a login saved
// before the setting existed still signs in by itself, while the settings window shows the box
// unticked until the user ticks it. A login saved by this client always writes the key.
inline constexpr ConfigEntry kAutoLogin{"auto_login", "1"};
inline constexpr ConfigEntry kAutoLoginSetting{"auto_login", "0"};
inline constexpr ConfigEntry kUserType{"user_type", "0"};
inline constexpr ConfigEntry kHandle{"handle", ""};
inline constexpr ConfigEntry kCloseOnExit{"close_on_exit", "0"};
// The newest version a client installed by the system's package manager has told the user about.
inline constexpr ConfigEntry kAnnouncedVersion{"announced_version", ""};
} // namespace ConfigKey

} // namespace quorvane
