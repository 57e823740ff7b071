#include "upgrader/Updater.h"
#include "platform/InstanceLock.h"
#include "tests/support/Minisign.h"
#include "tests/support/TempProfile.h"
#include "tests/upgrader/StagedPackage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The updater's work in this process, with a key pair of the test's own.
class UpdaterTest : public ::testing::Test
{
protected:
    UpdaterTest()
    {
        QDir().mkpath(AppDir());
        TempProfile::WriteFile(AppDir() + QStringLiteral("/quorvane_client"), "old client");
        EXPECT_TRUE(MakeMinisignKeyPair(keys_.path()));
        program_ = StagePackage(profile_.CacheHome() + QStringLiteral("/quorvane"),
                                {{QStringLiteral("quorvane_client.exe"), "new client"}},
                                QStringLiteral("99.00.201205281430"),
                                keys_.path() + QStringLiteral("/minisign.key"));
        updater_.SetTrustedKey(MinisignPublicKeyLine(keys_.path() + QStringLiteral("/minisign.pub")));
        updater_.SetProgress([this](const QString& line) { progress_ << line; });
        updater_.SetReadySignal([] { return true; });
    }

    QString AppDir() const { return profile_.Root() + QStringLiteral("/app"); }
    QByteArray Installed() const
    {
        QFile file(AppDir() + QStringLiteral("/quorvane_client"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    TempProfile profile_;
    QTemporaryDir keys_;
    QString program_;
    TUpdater updater_{AppDir()};
    QStringList progress_;
};

TEST_F(UpdaterTest, GivesUpWhenTheClientDoesNotEnd)
{
    TInstanceLock client(QStringLiteral("quorvane_client.exe"));
    ASSERT_TRUE(client.Acquire());
    updater_.SetWaitLimitMs(300);
    EXPECT_EQ(updater_.Run({program_, QStringLiteral("quorvane_client.exe")}),
              TUpdater::Result::ClientStillRunning);
    EXPECT_EQ(Installed(), QByteArray("old client"));
    EXPECT_TRUE(progress_.contains(QStringLiteral("Waiting for the client to end")));
    EXPECT_EQ(QDir(AppDir()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("quorvane_client")});
}

// A client that stopped waiting (it timed out, or the user closed it) does not end for the
// update, so nothing is installed behind its back.
TEST_F(UpdaterTest, NothingIsInstalledWhenNobodyWaitsForIt)
{
    updater_.SetReadySignal([] { return false; });
    EXPECT_EQ(updater_.Run({program_, QStringLiteral("quorvane_client.exe")}),
              TUpdater::Result::NobodyWaiting);
    EXPECT_EQ(Installed(), QByteArray("old client"));
}

TEST_F(UpdaterTest, RefusesADestinationOtherThanTheClient)
{
    for (const QString& destination :
         {QStringLiteral("../quorvane_client.exe"), QStringLiteral("/etc/x"), QStringLiteral("upgrade")}) {
        EXPECT_EQ(updater_.Run({program_, destination}), TUpdater::Result::BadRequest);
        EXPECT_EQ(Installed(), QByteArray("old client"));
        EXPECT_TRUE(QFile::exists(program_));
    }
}

} // namespace
