#pragma once

#include "tests/support/CabinetWriter.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/TempProfile.h"
#include "tests/update/ProtectedFolder.h"
#include "update/Upgrade.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

// A fresh profile whose quorvane.ini points the download root at a loopback server, an
// application folder of its own, a key pair of the test's own that the TUpgrade trusts, and a
// TUpgrade that records what it reports.
class UpgradeFixture : public ::testing::Test
{
protected:
    UpgradeFixture();

    QString AppDir() const { return profile_.Root() + QStringLiteral("/app"); }
    QString DownloadRoot() const { return server_.Url() + QStringLiteral("/res/download"); }
    QString UpgradeFile() const { return profile_.DataHome() + QStringLiteral("/quorvane/upgrade.ini"); }
    // The folder below which packages are staged, and the stagings in it.
    QString StagingParent() const { return profile_.CacheHome() + QStringLiteral("/quorvane"); }
    QStringList Stagings() const;
    // The program the record names.
    QString StagedProgram() const { return upgrade_.ReadUpgradeInfo().fileName; }

    void ServeVersion(const QByteArray& body, int status = 200);
    void ServePackage(const QByteArray& cabinet, int status = 200);
    void ServeSignature(const QByteArray& signature, int status = 200);
    // Serves the package with a signature made now by the trusted key (or `secretKey`) for
    // `version`; answers the signature served.
    QByteArray ServeSignedPackage(const QByteArray& cabinet, const QString& version,
                                  const QString& secretKey = {});
    QByteArray Sign(const QByteArray& data, const QString& trustedComment, const QString& secretKey = {});
    // A cabinet made by gcab from files named and filled as given (names may hold "/").
    QByteArray GcabPackage(const QList<QPair<QString, QByteArray>>& files);
    // Stages a package with the client's program `program` for `version` through the real path.
    void StageProgram(const QByteArray& program, const QString& version);

    // The debug log of this run ("debug.txt" in the data folder).
    QString DebugLog() const;

    // A key pair made for the test program: the trusted one and another.
    static QString TrustedSecretKey();
    static QString TrustedPublicKey();
    static QString OtherSecretKey();

    TempProfile profile_;
    LoopbackServer server_;
    TUpgrade upgrade_;
    QStringList reported_;
    QStringList notices_;
};

// Every entry below `dir`, relative to it, sorted.
QStringList Tree(const QString& dir);
QByteArray ReadBytes(const QString& path);
// Waits until `path` exists; false after `timeoutMs`.
bool WaitForFile(const QString& path, int timeoutMs = 20000);
void WriteExecutable(const QString& path, const QByteArray& content);
