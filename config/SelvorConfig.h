#pragma once

#include "config/SelvorConfigInfo.h"

#include <QString>

// The configuration store. It keeps no state: every call reads or writes quorvane.ini at once,
// so a value written by one call (or by another process) is seen by the next read. Only the
// server addresses are read once per run. Writes the file system refuses raise TFailure.
class TSelvorConfig final
{
public:
    QString GetAppUrl() const;
    QString GetDownUrl() const;
    QString GetConfigDir() const;
    QString GetConfigFile() const;

    SelvorConfigInfo LoadConfigInfo() const;
    void SaveConfigInfo(const SelvorConfigInfo& info) const;
    // Writes name, password and user type; the two flags stay as they are.
    void SaveAccount(const QString& userName, const QString& password, int userType) const;
    bool CanAutoLogin(const SelvorConfigInfo& info) const;

    int GetUserType() const;
    bool GetAutoLogin() const;
    void SetAutoLogin(bool on) const;
    bool GetCloseOnExit() const;
    void SetCloseOnExit(bool on) const;
    qint64 GetMainHandle() const;
    void SetMainHandle(qint64 handle) const;

    bool IsAutoRun() const;
    // False when the entry could not be written.
    bool SetAutoRun(bool on) const;
    // Switches autostart on at the first run; tried again at the next start if that failed.
    void CheckFirstRun() const;

    // Drops the addresses read so far, so that the next call reads the file again.
    // The client never calls it; tests that switch profiles do.
    static void ForgetCachedAddresses();

private:
    QString ReadString(const char* key, const QString& defaultValue) const;
    bool ReadBool(const char* key, bool defaultValue) const;
    void WriteString(const char* key, const QString& value) const;
    void WriteBool(const char* key, bool value) const;
};
