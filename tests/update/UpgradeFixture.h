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
// application folder of its own and a TUpgrade that records the failures it reports.
class UpgradeFixture : public ::testing::Test
{
protected:
    UpgradeFixture();

    QString AppDir() const { return profile_.Root() + QStringLiteral("/app"); }
    QString DownloadRoot() const { return server_.Url() + QStringLiteral("/res/download"); }
    QString TempExe() const { return profile_.TempDir() + QStringLiteral("/quorvane_client.exe"); }
    QString UpgradeFile() const { return profile_.DataHome() + QStringLiteral("/quorvane/upgrade.ini"); }

    void ServeVersion(const QByteArray& body, int status = 200);
    void ServePackage(const QByteArray& cabinet, int status = 200);
    // A cabinet made by gcab from files named and filled as given (names may hold "/").
    QByteArray GcabPackage(const QList<QPair<QString, QByteArray>>& files);

    // Package files that stayed in the temporary folder.
    QStringList PackageFilesLeft() const;

    TempProfile profile_;
    LoopbackServer server_;
    TUpgrade upgrade_;
    QStringList reported_;
};

// Every entry below `dir`, relative to it, sorted.
QStringList Tree(const QString& dir);
QByteArray ReadBytes(const QString& path);
// Waits until `path` exists; false after `timeoutMs`.
bool WaitForFile(const QString& path, int timeoutMs = 20000);
void WriteExecutable(const QString& path, const QByteArray& content);
