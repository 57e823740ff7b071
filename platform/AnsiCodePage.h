#pragma once

#include <QByteArray>
#include <QString>

namespace quorvane {

// The "system ANSI code page" of the systems the client addresses: code page 936 (GBK).

// Characters the code page cannot represent become "?".
QByteArray toAnsi(const QString& text);

// Bytes that are not valid in the code page become U+FFFD.
QString fromAnsi(const QByteArray& bytes);

} // namespace quorvane
