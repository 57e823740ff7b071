#pragma once

#include <QString>

namespace quorvane {

// The per-user autostart entry "quorvane" (an XDG autostart desktop file).

// The program the entry starts, exactly as stored; empty when there is no entry or the desktop
// has switched it off (Hidden=true, X-GNOME-Autostart-enabled=false), as the autostart rules read it.
QString readAutostartCommand();

// The text the entry stores for a program path (quoted only when the path needs it).
QString autostartCommandFor(const QString& programPath);

// Writes the entry for the program; false when it could not be written.
bool writeAutostartEntry(const QString& programPath);

// Removes the entry; a missing entry is not an error.
void removeAutostartEntry();

} // namespace quorvane
