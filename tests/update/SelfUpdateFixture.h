#pragma once

#include "tests/support/CabinetWriter.h"
#include "tests/support/FileTree.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/TempProfile.h"
#include "tests/update/ProtectedFolder.h"
#include "update/SelfUpdate.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

namespace quorvane {

// A fresh profile whose quorvane.ini points the download root at a loopback server, an
// application folder of its own, a key pair of the test's own that the SelfUpdate trusts, and a
// SelfUpdate that records what it reports.
class UpgradeFixture : public ::testing::Test
{
protected:
    UpgradeFixture();

    QString appDir() const { return m_profile.root() + QStringLiteral("/app"); }
    QString downloadRoot() const { return m_server.url() + QStringLiteral("/res/download"); }
    QString upgradeFile() const { return m_profile.dataHome() + QStringLiteral("/quorvane/upgrade.ini"); }
    // The folder below which packages are staged, and the stagings in it.
    QString stagingParent() const { return m_profile.cacheHome() + QStringLiteral("/quorvane"); }
    QStringList stagings() const;
    // The program the record names.
    QString stagedProgram() const { return m_upgrade.readUpgradeInfo().fileName; }

    void serveVersion(const QByteArray& body, int status = 200);
    void servePackage(const QByteArray& cabinet, int status = 200);
    void serveSignature(const QByteArray& signature, int status = 200);
    // Serves the package with a signature made now by the trusted key (or `secretKey`) for
    // `version`; answers the signature served.
    QByteArray serveSignedPackage(const QByteArray& cabinet, const QString& version,
                                  const QString& secretKey = {});
    QByteArray sign(const QByteArray& data, const QString& trustedComment, const QString& secretKey = {});
    // A cabinet made by gcab from files named and filled as given (names may hold "/").
    QByteArray gcabPackage(const QList<QPair<QString, QByteArray>>& files);
    // Stages a package with the client's program `program` for `version` through the real path.
    void stageProgram(const QByteArray& program, const QString& version);

    // The debug log of this run ("debug.txt" in the data folder).
    QString debugLog() const;

    // A key pair made for the test program: the trusted one and another.
    static QString trustedSecretKey();
    static QString trustedPublicKey();
    static QString otherSecretKey();

    TempProfile m_profile;
    LoopbackServer m_server;
    SelfUpdate m_upgrade;
    QStringList m_reported;
    QStringList m_notices;
};

// Waits until `path` exists; false after `timeoutMs`.
bool waitForFile(const QString& path, int timeoutMs = 20000);
void writeExecutable(const QString& path, const QByteArray& content);

} // namespace quorvane
