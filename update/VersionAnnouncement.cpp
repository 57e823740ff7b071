#include "update/VersionAnnouncement.h"

#include "config/ConfigStore.h"
#include "update/SelfUpdate.h"

namespace quorvane {

namespace {
// What fetchVersionDesc answers for a description it could not fetch.
const QString kNoDescription = QStringLiteral("0");
} // namespace

QString versionToAnnounce(HttpClient& http)
{
    const QString version = SelfUpdate().fetchVersion(http);
    if (!SelfUpdate::isNewerVersion(version))
        return {};
    // The version file may end in a line break; the version itself is 18 characters.
    const QString shortVersion = version.left(18).trimmed();
    if (shortVersion == ConfigStore().getAnnouncedVersion())
        return {};
    return shortVersion;
}

QString versionAnnouncement(const QString& version, const QString& description)
{
    QString text = QStringLiteral("发现有更新的版本 %1\n请通过系统的软件更新安装。").arg(version);
    if (!description.isEmpty() && description != kNoDescription)
        text += QStringLiteral("\n\n相关更新为:\n") + description;
    return text;
}

void rememberAnnouncedVersion(const QString& version)
{
    ConfigStore().setAnnouncedVersion(version);
}

} // namespace quorvane
