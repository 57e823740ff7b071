#pragma once

#include <QString>

namespace quorvane {

// Windows-style private-profile (INI) access: one key per call, straight to the file.
// Sections and keys compare without regard to letter case; the text is in the ANSI code page.
// A missing file, section or key reads as the default.

// Reads a value (surrounding blanks and one pair of double quotes removed), at most 2047 characters.
QString readProfileString(const QString& file, const QString& section, const QString& key,
                          const QString& defaultValue);

// Reads a decimal integer; a value that is not a whole number reads as the default.
int readProfileInt(const QString& file, const QString& section, const QString& key, int defaultValue);

// Writes one key, creating the file or section when missing. Every other byte of the file is kept.
// The file is replaced atomically and readable by its owner only; a refused write raises
// Failure naming the file.
void writeProfileString(const QString& file, const QString& section, const QString& key,
                        const QString& value);

} // namespace quorvane
