#include "config/SelvorConfig.h"

#include "config/ConfigKeys.h"
#include "config/ServerDefaults.h"
#include "config/Util.h"
#include "platform/AnsiCodePage.h"
#include "platform/Autostart.h"
#include "platform/PrivateFiles.h"
#include "platform/PrivateProfile.h"
#include "platform/SystemPaths.h"

#include <QDir>
#include <mutex>

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

CachedAddresses& Cache()
{
    static CachedAddresses cache;
    return cache;
}

QString ScramblePassword(const QString& password)
{
    return QString::fromLatin1(ScrambleText(kPasswordKey, ToAnsi(password)));
}

QString UnscramblePassword(const QString& scrambled)
{
    if (scrambled.isEmpty())
        return {};
    return FromAnsi(UnscrambleText(kPasswordKey, scrambled.toLatin1()));
}

} // namespace

QString TSelvorConfig::GetConfigDir() const
{
    const QString base = LocalAppDataDir();
    if (base.isEmpty())
        return {};
    const QString dir = base + QStringLiteral("/quorvane");
    // Made private: it holds the saved login (see SecureDataFolder).
    MakePrivateFolderIfMissing(dir);
    return dir;
}

QString TSelvorConfig::GetConfigFile() const
{
    return GetConfigDir() + QStringLiteral("/quorvane.ini");
}

QString TSelvorConfig::GetAppUrl() const
{
    CachedAddresses& cache = Cache();
    std::lock_guard lock(cache.mutex);
    if (cache.appRoot == kNotRead) {
        cache.appRoot = ReadString(ConfigKey::kAppRoot, QString::fromLatin1(kDefaultAppRoot));
        cache.contextRoot = ReadString(ConfigKey::kContextRoot, QString::fromLatin1(kDefaultContextRoot));
    }
    return cache.appRoot + cache.contextRoot;
}

QString TSelvorConfig::GetDownUrl() const
{
    CachedAddresses& cache = Cache();
    std::lock_guard lock(cache.mutex);
    if (cache.downUrl == kNotRead)
        cache.downUrl = ReadString(ConfigKey::kDownUrl, QString::fromLatin1(kDefaultDownRoot) +
                                                            QString::fromLatin1(kDownloadPath));
    return cache.downUrl;
}

void TSelvorConfig::ForgetCachedAddresses()
{
    CachedAddresses& cache = Cache();
    std::lock_guard lock(cache.mutex);
    cache.appRoot = cache.contextRoot = cache.downUrl = kNotRead;
}

SelvorConfigInfo TSelvorConfig::LoadConfigInfo() const
{
    SelvorConfigInfo info;
    info.RememberPass = ReadBool(ConfigKey::kRememberPass, true);
    info.Password = UnscramblePassword(ReadString(ConfigKey::kPassword, QString()));
    info.AutoLogin = ReadBool(ConfigKey::kAutoLogin, true);
    info.UserName = ReadString(ConfigKey::kUserName, QString());
    info.UserType = ReadProfileInt(GetConfigFile(), ConfigKey::kSection, ConfigKey::kUserType, 0);
    return info;
}

void TSelvorConfig::SaveConfigInfo(const SelvorConfigInfo& info) const
{
    const QString scrambled = ScramblePassword(info.Password);
    WriteString(ConfigKey::kUserName, info.UserName);
    WriteString(ConfigKey::kPassword, scrambled);
    WriteBool(ConfigKey::kRememberPass, info.RememberPass);
    WriteBool(ConfigKey::kAutoLogin, info.AutoLogin);
    WriteString(ConfigKey::kUserType, QString::number(info.UserType));
}

void TSelvorConfig::SaveAccount(const QString& userName, const QString& password, int userType) const
{
    const QString scrambled = ScramblePassword(password);
    WriteString(ConfigKey::kUserName, userName);
    WriteString(ConfigKey::kPassword, scrambled);
    WriteString(ConfigKey::kUserType, QString::number(userType));
}

bool TSelvorConfig::CanAutoLogin(const SelvorConfigInfo& info) const
{
    return !info.UserName.isEmpty() && !info.Password.isEmpty() && info.RememberPass && info.AutoLogin;
}

int TSelvorConfig::GetUserType() const
{
    return LoadConfigInfo().UserType;
}

bool TSelvorConfig::GetAutoLogin() const
{
    return ReadBool(ConfigKey::kAutoLogin, false);
}

void TSelvorConfig::SetAutoLogin(bool on) const
{
    WriteBool(ConfigKey::kAutoLogin, on);
}

bool TSelvorConfig::GetCloseOnExit() const
{
    return ReadBool(ConfigKey::kCloseOnExit, false);
}

void TSelvorConfig::SetCloseOnExit(bool on) const
{
    WriteBool(ConfigKey::kCloseOnExit, on);
}

qint64 TSelvorConfig::GetMainHandle() const
{
    bool ok = false;
    const qint64 handle = ReadString(ConfigKey::kHandle, QString()).trimmed().toLongLong(&ok);
    return ok ? handle : -1;
}

void TSelvorConfig::SetMainHandle(qint64 handle) const
{
    WriteString(ConfigKey::kHandle, QString::number(handle));
}

bool TSelvorConfig::IsAutoRun() const
{
    const QString command = ReadAutostartCommand();
    return !command.isEmpty() && command == AutostartCommandFor(ExecutablePath());
}

bool TSelvorConfig::SetAutoRun(bool on) const
{
    if (on)
        return WriteAutostartEntry(ExecutablePath());
    RemoveAutostartEntry();
    return true;
}

void TSelvorConfig::CheckFirstRun() const
{
    if (!ReadBool(ConfigKey::kFirstRun, true))
        return;
    if (!SetAutoRun(true))
        return;
    try {
        WriteBool(ConfigKey::kFirstRun, false);
    } catch (...) {
        // Not fatal: the first-run step runs again at the next start.
    }
}

QString TSelvorConfig::ReadString(const char* key, const QString& defaultValue) const
{
    return ReadProfileString(GetConfigFile(), ConfigKey::kSection, QString::fromLatin1(key), defaultValue);
}

bool TSelvorConfig::ReadBool(const char* key, bool defaultValue) const
{
    return ReadProfileInt(GetConfigFile(), ConfigKey::kSection, QString::fromLatin1(key),
                          defaultValue ? 1 : 0) != 0;
}

void TSelvorConfig::WriteString(const char* key, const QString& value) const
{
    WriteProfileString(GetConfigFile(), ConfigKey::kSection, QString::fromLatin1(key), value);
}

void TSelvorConfig::WriteBool(const char* key, bool value) const
{
    WriteString(key, value ? QStringLiteral("1") : QStringLiteral("0"));
}
