#pragma once

#include <QString>

namespace quorvane {

// A value for a URL query: its code page 936 bytes, percent-encoded except for the unreserved
// characters (letters, digits, "-", ".", "_", "~"). So a password holding "&" or "#" reaches the
// server whole, and a user name cannot add a parameter of its own.
QString encodeQueryValue(const QString& value);

} // namespace quorvane
