#pragma once

#include "config/NameValueList.h"

#include <QByteArray>
#include <QString>

namespace quorvane {

// Reversible scrambling of short byte texts: each byte XOR the key byte at its position,
// written as two upper-case hexadecimal digits.
QByteArray scrambleText(const QByteArray& key, const QByteArray& data);

// Reverses scrambleText for up to 512 bytes. An odd last digit is ignored; from the first pair
// that is not hexadecimal on, the result continues with the key's own bytes.
QByteArray unscrambleText(const QByteArray& key, const QByteArray& text);

// Appends two lines to the debug log "debug.txt" in the data folder (beside quorvane.ini, readable
// by the user only): the local date and time, then the message. Returns quietly when the file
// cannot be written.
void writeDebugLog(const QByteArray& message);
// The debug log's path; empty when the system has no data folder.
QString debugLogFile();

// The query of a URL (the text after the first "?", or the whole URL) as name=value entries.
NameValueList parseUrlQuery(const QString& url);

// A "vemtraclient://action/?a=1&b=2" URL as the entries actionName=action, a=1, b=2.
// Nothing is percent-decoded.
NameValueList parseClientUrl(const QString& url);

} // namespace quorvane
