#pragma once

namespace quorvane {

// Names of the window pictures, for skinPath. The button bitmaps are named by their state
// ("CLOSE_HOVER") where they are used.
namespace SkinPicture {

inline constexpr char MainTitle[] = "TITLE_MAIN";           // main window title bar, 995 x 51
inline constexpr char LoginTitle[] = "TITLE_LOGIN";         // login window title bar, 451 x 51
inline constexpr char MessageTitle[] = "TITLE_MESSAGE";     // notification title bar, 415 x 51
inline constexpr char CertifiedBadge[] = "BADGE_V";         // main title bar, 16 x 16
inline constexpr char TitleSplit[] = "TITLE_SPLIT";         // main title bar, 2 x 11
inline constexpr char TitleEmail[] = "TITLE_EMAIL";         // main title bar, 13 x 10
inline constexpr char TitleSeparator[] = "TITLE_SEPARATOR"; // main title bar, 3 x 8
inline constexpr char LoginSide[] = "LOGIN_SIDE";           // login window side picture, 150 x 295
inline constexpr char LoginFrame[] = "FRAME_LOGIN";         // account frame background, 301 x 295
inline constexpr char SinaFrame[] = "FRAME_SINA";           // microblog frame background, 301 x 295
inline constexpr char RegFrame[] = "FRAME_REG";             // registration frame background, 301 x 295
inline constexpr char SinaLogo[] = "SINA_LOGO";             // microblog frame logo, 140 x 42
inline constexpr char FrameSeparator[] = "FRAME_SEPARATOR"; // account frame separator, 267 x 4
inline constexpr char FrameFooter[] = "FRAME_FOOTER";       // foot line of every frame, 168 x 13
inline constexpr char ErrorIcon[] = "ERROR_ICON";           // beside a frame's error label, 12 x 12
inline constexpr char SettingBackground[] = "SETTING_BG";   // settings window, 453 x 251
inline constexpr char FeedbackBackground[] = "FEEDBACK_BG"; // feedback window, 453 x 280
inline constexpr char AboutBanner[] = "ABOUT_BANNER";       // About window banner, 1290 x 49

} // namespace SkinPicture

} // namespace quorvane
