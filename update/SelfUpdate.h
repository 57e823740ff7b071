#pragma once

#include "update/UpgradeInfo.h"

#include <QString>
#include <atomic>
#include <functional>

namespace quorvane {

class HttpClient;
struct HttpLimits;
struct StagingLayout;

// Tells the user something about an update. It is called on the thread that runs the update (the
// polling thread, or start-up before any window exists), so it must not touch any window itself:
// hand the box over to the user-interface thread (see update/UpdateNoticeBox.h).
using UpdateNoticeReport = std::function<void(const QString& message)>;

// Self-update: the version check against the download server, the download, signature check and
// unpacking of the package into a private staging folder, and the hand-over to the updater
// program. Keeps no state between calls: make one for one use and drop it. Every network
// operation takes the caller's HTTP client.
//
// Nothing of a package reaches the application folder before the user has agreed: the package is
// staged in "<cache>/quorvane/update-XXXXXX" (mode 0700), and the updater installs it, after
// checking the signature against the key built into it, once the client has ended.
class SelfUpdate final
{
    Q_DISABLE_COPY_MOVE(SelfUpdate)

public:
    // How long the client waits for the updater to say that it runs (the administrator prompt
    // included) before it goes on without the update.
    static constexpr int kUpdaterReadyTimeoutMs = 180000;

    SelfUpdate();

    // The folder whose "quorvane_client.exe" and "upgrade" are meant; the folder of the running
    // executable unless set (tests point it at a folder of their own).
    void setApplicationDir(const QString& appDir) { m_appDir = appDir; }
    const QString& applicationDir() const { return m_appDir; }

    // Called with "解压升级包失败!" when a package does not unpack; without one the failure is
    // only written to the diagnostics output.
    void setUnpackFailureReport(UpdateNoticeReport report) { m_unpackFailed = std::move(report); }
    // Called once when an accepted update could not be installed (no administrator rights, the
    // updater failed); without one the failure is only logged.
    void setNoticeReport(UpdateNoticeReport report) { m_notice = std::move(report); }
    // Once set, a running unpacking, signature check or wait for the updater stops.
    void setAbortFlag(const std::atomic<bool>* abort) { m_abort = abort; }
    // The trusted key; the one built in unless set (tests).
    void setTrustedKey(const QString& key) { m_key = key; }

    // The body of the version file, or "0" when it could not be fetched or is no text in the
    // code page (a NUL byte, a byte sequence the code page does not know).
    QString fetchVersion(HttpClient& http) const;
    // The body of the description file, or "0" when it could not be fetched.
    QString fetchVersionDesc(HttpClient& http) const;

    // True when `version` is newer than CLIENT_VERSION: not "0", not empty, and greater in a
    // byte comparison of the ANSI texts over at most 18 bytes that stops at the end of either.
    static bool isNewerVersion(const QString& version);

    // Fetches the version with `http`; when it is newer (and was not taken back after a failed
    // start), downloads, checks and stages the package. True exactly when a newer package is
    // staged and ready to be offered.
    bool checkAndDownload(HttpClient& http) const;

    // Downloads the signature with `http` and the package with `packageHttp` into a new staging
    // folder, checks the signature against the trusted key and `version`, unpacks the package
    // there and writes the hand-over record. Any failure removes the staging folder, writes a
    // line to the debug log and answers false; a package that does not unpack is also reported.
    bool stageUpgrade(HttpClient& http, HttpClient& packageHttp, const QString& version) const;
    // stageUpgrade with one client for both downloads.
    bool downloadUpgrade(HttpClient& http, const QString& version) const;

    // Starts the updater ("upgrade" in the application folder, elevated when that folder is not
    // writable) when the hand-over record names a newer version whose staged files are intact,
    // and waits until it says that it runs. True when it runs and the client must end now. A
    // record that cannot be acted on is dropped, so that no later start tries it again.
    bool applyPendingUpgrade() const;

    // Forgets the hand-over record and removes its staging folder.
    void dropPendingUpgrade() const;

    // The command line the updater gets: fileName, one space, dstFileName, never quoted.
    static QString updaterCommandLine(const UpgradeInfo& info);

    // The folder below which packages are staged ("<cache>/quorvane").
    QString stagingParent() const;
    // The folder of the hand-over file (created if missing), or empty when the system has no
    // local application-data folder.
    QString getUpgradeDir() const;
    // The hand-over file "upgrade.ini".
    QString getUpgradeFile() const;
    // Whether a file can be made in `folder`; the probe file never stays behind.
    bool canWriteDir(const QString& folder) const;

    // Writes the five keys of the record; other keys and sections stay as they are.
    void writeUpgradeInfo(const UpgradeInfo& info) const;
    UpgradeInfo readUpgradeInfo() const;

    // The version the updater took back after it failed to start, or empty.
    QString rolledBackVersion() const;

    // Limits of the caller's client for the two version files and the signature, and of the
    // package download, which has no total limit but fails when it stalls or passes 1 GiB.
    static HttpLimits versionLimits();
    static HttpLimits packageLimits();

private:
    QString stageIn(const StagingLayout& staging, HttpClient& http, HttpClient& packageHttp,
                    const QString& version) const;
    StagingLayout ownStagingOf(const QString& program) const;
    QString checkStaged(const UpgradeInfo& info) const;
    bool wasRolledBack(const QString& version) const;
    void tell(const QString& message) const;

    QString m_appDir;
    QString m_key;
    UpdateNoticeReport m_unpackFailed;
    UpdateNoticeReport m_notice;
    const std::atomic<bool>* m_abort = nullptr;
};

// Writes a line about the self-update to the debug log (and the diagnostics output).
void logUpdate(const QString& line);

} // namespace quorvane
