#pragma once

#include <QString>

namespace quorvane {

// Every folder the client uses comes from here, so a test isolates itself by pointing
// the XDG variables and TMPDIR at a temporary folder.

// The user's local application-data folder (XDG data home); empty when the system cannot tell.
QString localAppDataDir();

// The folder for temporary files, without a trailing separator.
QString tempDir();

// The per-user runtime folder that holds the single-instance lock and its request channel: the
// session's runtime folder when it is a real folder of the user's with mode 0700, otherwise a
// private folder of the client's own ("<cache>/quorvane/runtime").
QString runtimeDir();

// The user's cache folder (XDG cache home), below which updates are staged.
QString cacheDir();

// The user's configuration home (XDG config home), which holds the autostart folder.
QString configHomeDir();

// Full path of the running executable, and the folder that holds it.
QString executablePath();
QString appDir();

} // namespace quorvane
