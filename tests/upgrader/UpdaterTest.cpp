#include "upgrader/Updater.h"
#include "platform/InstanceLock.h"
#include "tests/support/TempProfile.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

class UpdaterTest : public ::testing::Test
{
protected:
    UpdaterTest()
    {
        QDir().mkpath(AppDir());
        TempProfile::WriteFile(AppDir() + QStringLiteral("/quorvane_client"), "old client");
        TempProfile::WriteFile(Source(), "new client");
        updater_.SetProgress([this](const QString& line) { progress_ << line; });
    }

    QString AppDir() const { return profile_.Root() + QStringLiteral("/app"); }
    QString Source() const { return profile_.TempDir() + QStringLiteral("/quorvane_client.exe"); }
    QByteArray Installed() const
    {
        QFile file(AppDir() + QStringLiteral("/quorvane_client"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    TempProfile profile_;
    TUpdater updater_{AppDir()};
    QStringList progress_;
};

TEST_F(UpdaterTest, GivesUpWhenTheClientDoesNotEnd)
{
    TInstanceLock client(QStringLiteral("quorvane_client.exe"));
    ASSERT_TRUE(client.Acquire());
    updater_.SetWaitLimitMs(300);
    EXPECT_EQ(updater_.Run({Source(), QStringLiteral("quorvane_client.exe")}),
              TUpdater::Result::ClientStillRunning);
    EXPECT_EQ(Installed(), QByteArray("old client"));
    EXPECT_TRUE(QFile::exists(Source())); // the next start tries again
    EXPECT_EQ(progress_.first(), QStringLiteral("Waiting for the client to end"));
}

TEST_F(UpdaterTest, RefusesADestinationOutsideItsFolder)
{
    for (const QString& destination : {QStringLiteral("../quorvane_client.exe"), QStringLiteral("/etc/x")}) {
        EXPECT_EQ(updater_.Run({Source(), destination}), TUpdater::Result::BadRequest);
        EXPECT_FALSE(QFile::exists(profile_.Root() + QStringLiteral("/quorvane_client.exe")));
        EXPECT_TRUE(QFile::exists(Source()));
    }
}

} // namespace
