#pragma once

#include "config/ConfigKeys.h"
#include "config/SavedLogin.h"

#include <QString>

namespace quorvane {

// The configuration store. It keeps no state: every call reads or writes quorvane.ini at once,
// so a value written by one call (or by another process) is seen by the next read. Only the
// server addresses are read once per run. Writes the file system refuses raise Failure.
class ConfigStore final
{
public:
    QString getAppUrl() const;
    QString getDownUrl() const;
    QString getConfigDir() const;
    QString getConfigFile() const;

    SavedLogin loadConfigInfo() const;
    void saveConfigInfo(const SavedLogin& info) const;
    // Writes name, password and user type; the two flags stay as they are.
    void saveAccount(const QString& userName, const QString& password, int userType) const;
    bool canAutoLogin(const SavedLogin& info) const;

    int getUserType() const;
    bool getAutoLogin() const;
    void setAutoLogin(bool on) const;
    bool getCloseOnExit() const;
    void setCloseOnExit(bool on) const;
    qint64 getMainHandle() const;
    void setMainHandle(qint64 handle) const;
    // The version a packaged client last told the user about; empty when none.
    QString getAnnouncedVersion() const;
    void setAnnouncedVersion(const QString& version) const;

    bool isAutoRun() const;
    // False when the entry could not be written.
    bool setAutoRun(bool on) const;
    // Switches autostart on at the first run; tried again at the next start if that failed.
    void checkFirstRun() const;

    // Drops the addresses read so far, so that the next call reads the file again.
    // The client never calls it; tests that switch profiles do.
    static void forgetCachedAddresses();

private:
    // Entries of the table in config/ConfigKeys.h, read with their defaults.
    QString readString(const ConfigEntry& entry) const;
    int readInt(const ConfigEntry& entry) const;
    bool readBool(const ConfigEntry& entry) const;
    void writeString(const ConfigEntry& entry, const QString& value) const;
    void writeBool(const ConfigEntry& entry, bool value) const;
};

} // namespace quorvane
