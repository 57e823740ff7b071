#pragma once

#include <QEvent>

// The main window's own messages: sign-in starts once the event loop runs, and a second
// start of the client asks the running one to show its main window.
inline constexpr QEvent::Type WM_STARTLOGIN = static_cast<QEvent::Type>(1025);
inline constexpr QEvent::Type WM_SHOWMAINFORM = static_cast<QEvent::Type>(1026);
