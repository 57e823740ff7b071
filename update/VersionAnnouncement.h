#pragma once

#include <QString>

namespace quorvane {

class HttpClient;

// What a client installed by the system's package manager does instead of updating itself: it
// tells the user once about each newer version on the download server and downloads nothing.

// Fetches the version file with `http`; the version (its first 18 characters) when it is newer
// than this client and the user has not been told about it yet, else empty.
QString versionToAnnounce(HttpClient& http);

// "发现有更新的版本 <version>\n请通过系统的软件更新安装。", followed by the description of the
// new version when the download server has one.
QString versionAnnouncement(const QString& version, const QString& description);

// Remembers in quorvane.ini that the user has been told about `version`, for later runs too.
void rememberAnnouncedVersion(const QString& version);

} // namespace quorvane
