#pragma once

#include "update/UpgradeInfo.h"

#include <QString>
#include <functional>

class THttpClient;
struct THttpLimits;

// Tells the user that a downloaded package could not be unpacked. It is called on the thread that
// runs the download (the polling thread), so it must not touch any window itself: hand the box
// over to the user-interface thread (see update/UnpackFailureBox.h).
using TUnpackFailureReport = std::function<void(const QString& message)>;

// Self-update: the version check against the download server, the download and unpacking of
// the package, and the hand-over to the updater program. Keeps no state between calls: make one
// for one use and drop it. Every network operation takes the caller's HTTP client.
class TUpgrade final
{
    Q_DISABLE_COPY_MOVE(TUpgrade)

public:
    TUpgrade();

    // The folder whose "quorvane_client.exe" and "upgrade" are meant; the folder of the running
    // executable unless set (tests point it at a folder of their own).
    void SetApplicationDir(const QString& appDir) { appDir_ = appDir; }
    const QString& ApplicationDir() const { return appDir_; }

    // Called with "解压升级包失败!" when a package does not unpack; without one the failure is
    // only written to the diagnostics output.
    void SetUnpackFailureReport(TUnpackFailureReport report) { unpackFailed_ = std::move(report); }

    // The body of the version file, or "0" when it could not be fetched or is no text in the
    // code page (a NUL byte, a byte sequence the code page does not know).
    QString FetchVersion(THttpClient& http) const;
    // The body of the description file, or "0" when it could not be fetched.
    QString FetchVersionDesc(THttpClient& http) const;

    // True when `version` is newer than CLIENT_VERSION: not "0", not empty, and greater in a
    // byte comparison of the ANSI texts over at most 18 bytes that stops at the end of either.
    static bool IsNewerVersion(const QString& version);

    // Fetches the version with `http`; when it is newer, downloads and unpacks the package. The
    // package goes through a client of its own with PackageLimits(), since a client's limits are
    // fixed when it is made. True exactly when the version is newer, whether or not the package
    // arrived.
    bool CheckAndDownload(THttpClient& http) const;

    // Downloads the package with `http` (streamed to a file in the temporary folder), unpacks it
    // and writes the hand-over file for `version`. A failed download is dropped silently; a
    // package that does not unpack is reported. The package file never stays behind. Raises
    // TFailure only when the package file cannot be created.
    void DownloadUpgrade(THttpClient& http, const QString& version) const;

    // Starts the updater ("upgrade" in the application folder, elevated when that folder is not
    // writable) when the hand-over file names a newer version whose unpacked executable is still
    // there. True when the updater was started and the client must end now.
    bool ApplyPendingUpgrade() const;

    // The command line the updater gets: fileName, one space, dstFileName, never quoted.
    static QString UpdaterCommandLine(const UpgradeInfo& info);

    // Creates a new, empty, uniquely named package file in the temporary folder; empty on failure.
    QString GetTempFile() const;
    // The temporary folder, with a trailing separator.
    QString GetTempDir() const;
    // The folder of the hand-over file (created if missing), or empty when the system has no
    // local application-data folder.
    QString GetUpgradeDir() const;
    // The hand-over file "upgrade.ini".
    QString GetUpgradeFile() const;
    // Whether a file can be made in `folder`; the probe file never stays behind.
    bool CanWriteDir(const QString& folder) const;

    void WriteUpgradeInfo(const QString& fileName, const QString& dstFileName,
                          const QString& versionNo) const;
    UpgradeInfo ReadUpgradeInfo() const;

    // The target of a file of the package: "quorvane_client.exe" (exactly, case included) goes to
    // the temporary folder, every other file below the application folder. Empty (refused) when
    // the target would leave the application folder through a symbolic link.
    QString CabinetCallback(const QString& name) const;

    // Limits of the caller's client for the two version files, and of the package download,
    // which has no total limit but fails when it stalls or passes 1 GiB.
    static THttpLimits VersionLimits();
    static THttpLimits PackageLimits();

private:
    bool Unpack(const QString& packageFile) const;

    QString appDir_;
    TUnpackFailureReport unpackFailed_;
};
