#pragma once

#include <QByteArray>
#include <QString>

class QWebEngineProfile;

namespace quorvane {

// The scheme through which pages ask the client to act ("vemtraclient://close/").
inline QByteArray clientUrlScheme()
{
    return QByteArrayLiteral("vemtraclient");
}

// Makes the browser engine hand navigations to "vemtraclient://" URLs to the before-navigate
// event instead of blocking them as an unknown scheme. Must run before the application object
// is created; later calls do nothing.
void registerClientUrlScheme();

// The one browser profile that every browser view of the client shares, created on first use:
// cookies, cache and storage of its own in the folder "quorvane/browser" of the local
// application-data folder, and the handler of the client's scheme.
QWebEngineProfile* browserProfile();

// The prefix of the console line by which a frame of any page reports that its document has
// loaded; unique to this run, so pages cannot forge it.
const QString& frameCompleteMarker();

} // namespace quorvane
