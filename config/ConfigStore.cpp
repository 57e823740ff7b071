#include "config/ConfigStore.h"

#include "config/ConfigKeys.h"
#include "config/Util.h"
#include "platform/AnsiCodePage.h"
#include "platform/Autostart.h"
#include "platform/PrivateFiles.h"
#include "platform/PrivateProfile.h"
#include "platform/SystemPaths.h"

#include <QDir>
#include <mutex>

namespace quorvane {

namespace {

const QByteArray kPasswordKey = QByteArrayLiteral("r5k83bqhzLm41xp7W2d");
const QString kNotRead = QStringLiteral("0");

// The server addresses, read once per run; both threads may ask first at the same time.
struct CachedAddresses
{
    std::mutex mutex;
    QString appRoot = kNotRead;
    QString contextRoot = kNotRead;
    QString downUrl = kNotRead;
};

CachedAddresses& cachedAddresses()
{
    static CachedAddresses cache;
    return cache;
}

QString scramblePassword(const QString& password)
{
    return QString::fromLatin1(scrambleText(kPasswordKey, toAnsi(password)));
}

QString unscramblePassword(const QString& scrambled)
{
    if (scrambled.isEmpty())
        return {};
    return fromAnsi(unscrambleText(kPasswordKey, scrambled.toLatin1()));
}

} // namespace

QString ConfigStore::getConfigDir() const
{
    const QString base = localAppDataDir();
    if (base.isEmpty())
        return {};
    const QString dir = base + QStringLiteral("/quorvane");
    // Made private: it holds the saved login (see secureDataFolder).
    makePrivateFolderIfMissing(dir);
    return dir;
}

QString ConfigStore::getConfigFile() const
{
    return getConfigDir() + QStringLiteral("/quorvane.ini");
}

QString ConfigStore::getAppUrl() const
{
    CachedAddresses& cache = cachedAddresses();
    std::lock_guard lock(cache.mutex);
    if (cache.appRoot == kNotRead) {
        cache.appRoot = readString(ConfigKey::kAppRoot);
        cache.contextRoot = readString(ConfigKey::kContextRoot);
    }
    return cache.appRoot + cache.contextRoot;
}

QString ConfigStore::getDownUrl() const
{
    CachedAddresses& cache = cachedAddresses();
    std::lock_guard lock(cache.mutex);
    if (cache.downUrl == kNotRead)
        cache.downUrl = readString(ConfigKey::kDownUrl);
    return cache.downUrl;
}

void ConfigStore::forgetCachedAddresses()
{
    CachedAddresses& cache = cachedAddresses();
    std::lock_guard lock(cache.mutex);
    cache.appRoot = cache.contextRoot = cache.downUrl = kNotRead;
}

SavedLogin ConfigStore::loadConfigInfo() const
{
    SavedLogin info;
    info.rememberPass = readBool(ConfigKey::kRememberPass);
    info.password = unscramblePassword(readString(ConfigKey::kPassword));
    info.autoLogin = readBool(ConfigKey::kAutoLogin);
    info.userName = readString(ConfigKey::kUserName);
    info.userType = readInt(ConfigKey::kUserType);
    return info;
}

void ConfigStore::saveConfigInfo(const SavedLogin& info) const
{
    const QString scrambled = scramblePassword(info.password);
    writeString(ConfigKey::kUserName, info.userName);
    writeString(ConfigKey::kPassword, scrambled);
    writeBool(ConfigKey::kRememberPass, info.rememberPass);
    writeBool(ConfigKey::kAutoLogin, info.autoLogin);
    writeString(ConfigKey::kUserType, QString::number(info.userType));
}

void ConfigStore::saveAccount(const QString& userName, const QString& password, int userType) const
{
    const QString scrambled = scramblePassword(password);
    writeString(ConfigKey::kUserName, userName);
    writeString(ConfigKey::kPassword, scrambled);
    writeString(ConfigKey::kUserType, QString::number(userType));
}

bool ConfigStore::canAutoLogin(const SavedLogin& info) const
{
    return !info.userName.isEmpty() && !info.password.isEmpty() && info.rememberPass && info.autoLogin;
}

int ConfigStore::getUserType() const
{
    return loadConfigInfo().userType;
}

bool ConfigStore::getAutoLogin() const
{
    return readBool(ConfigKey::kAutoLoginSetting);
}

void ConfigStore::setAutoLogin(bool on) const
{
    writeBool(ConfigKey::kAutoLoginSetting, on);
}

bool ConfigStore::getCloseOnExit() const
{
    return readBool(ConfigKey::kCloseOnExit);
}

void ConfigStore::setCloseOnExit(bool on) const
{
    writeBool(ConfigKey::kCloseOnExit, on);
}

qint64 ConfigStore::getMainHandle() const
{
    bool ok = false;
    const qint64 handle = readString(ConfigKey::kHandle).trimmed().toLongLong(&ok);
    return ok ? handle : -1;
}

void ConfigStore::setMainHandle(qint64 handle) const
{
    writeString(ConfigKey::kHandle, QString::number(handle));
}

QString ConfigStore::getAnnouncedVersion() const
{
    return readString(ConfigKey::kAnnouncedVersion);
}

void ConfigStore::setAnnouncedVersion(const QString& version) const
{
    writeString(ConfigKey::kAnnouncedVersion, version);
}

bool ConfigStore::isAutoRun() const
{
    const QString command = readAutostartCommand();
    return !command.isEmpty() && command == autostartCommandFor(executablePath());
}

bool ConfigStore::setAutoRun(bool on) const
{
    if (on)
        return writeAutostartEntry(executablePath());
    removeAutostartEntry();
    return true;
}

void ConfigStore::checkFirstRun() const
{
    if (!readBool(ConfigKey::kFirstRun))
        return;
    if (!setAutoRun(true))
        return;
    try {
        writeBool(ConfigKey::kFirstRun, false);
    } catch (...) {
        // Not fatal: the first-run step runs again at the next start.
    }
}

QString ConfigStore::readString(const ConfigEntry& entry) const
{
    return readProfileString(getConfigFile(), ConfigKey::kSection, QString::fromLatin1(entry.key),
                             QString::fromUtf8(entry.defaultValue));
}

int ConfigStore::readInt(const ConfigEntry& entry) const
{
    return readProfileInt(getConfigFile(), ConfigKey::kSection, QString::fromLatin1(entry.key),
                          QByteArray(entry.defaultValue).toInt());
}

bool ConfigStore::readBool(const ConfigEntry& entry) const
{
    return readInt(entry) != 0;
}

void ConfigStore::writeString(const ConfigEntry& entry, const QString& value) const
{
    writeProfileString(getConfigFile(), ConfigKey::kSection, QString::fromLatin1(entry.key), value);
}

void ConfigStore::writeBool(const ConfigEntry& entry, bool value) const
{
    writeString(entry, value ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace quorvane
