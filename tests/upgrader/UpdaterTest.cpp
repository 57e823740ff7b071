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

namespace quorvane {

namespace {

// The updater's work in this process, with a key pair of the test's own.
class UpdaterTest : public ::testing::Test
{
protected:
    UpdaterTest()
    {
        QDir().mkpath(appDir());
        TempProfile::writeFile(appDir() + QStringLiteral("/quorvane_client"), "old client");
        EXPECT_TRUE(makeMinisignKeyPair(m_keys.path()));
        m_program = stagePackage(m_profile.cacheHome() + QStringLiteral("/quorvane"),
                                 {{QStringLiteral("quorvane_client.exe"), "new client"}},
                                 QStringLiteral("99.00.201205281430"),
                                 m_keys.path() + QStringLiteral("/minisign.key"));
        m_updater.setTrustedKey(minisignPublicKeyLine(m_keys.path() + QStringLiteral("/minisign.pub")));
        m_updater.setProgress([this](const QString& line) { m_progress << line; });
        m_updater.setReadySignal([] { return true; });
    }

    QString appDir() const { return m_profile.root() + QStringLiteral("/app"); }
    QByteArray installed() const
    {
        QFile file(appDir() + QStringLiteral("/quorvane_client"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    TempProfile m_profile;
    QTemporaryDir m_keys;
    QString m_program;
    Updater m_updater{appDir()};
    QStringList m_progress;
};

TEST_F(UpdaterTest, GivesUpWhenTheClientDoesNotEnd)
{
    InstanceLock client(QStringLiteral("quorvane_client.exe"));
    ASSERT_TRUE(client.acquire());
    m_updater.setWaitLimitMs(300);
    EXPECT_EQ(m_updater.run({m_program, QStringLiteral("quorvane_client.exe")}),
              Updater::Result::ClientStillRunning);
    EXPECT_EQ(installed(), QByteArray("old client"));
    EXPECT_TRUE(m_progress.contains(QStringLiteral("Waiting for the client to end")));
    EXPECT_EQ(QDir(appDir()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("quorvane_client")});
}

// A client that stopped waiting (it timed out, or the user closed it) does not end for the
// update, so nothing is installed behind its back.
TEST_F(UpdaterTest, NothingIsInstalledWhenNobodyWaitsForIt)
{
    m_updater.setReadySignal([] { return false; });
    EXPECT_EQ(m_updater.run({m_program, QStringLiteral("quorvane_client.exe")}),
              Updater::Result::NobodyWaiting);
    EXPECT_EQ(installed(), QByteArray("old client"));
}

TEST_F(UpdaterTest, RefusesADestinationOtherThanTheClient)
{
    for (const QString& destination :
         {QStringLiteral("../quorvane_client.exe"), QStringLiteral("/etc/x"), QStringLiteral("upgrade")}) {
        EXPECT_EQ(m_updater.run({m_program, destination}), Updater::Result::BadRequest);
        EXPECT_EQ(installed(), QByteArray("old client"));
        EXPECT_TRUE(QFile::exists(m_program));
    }
}

} // namespace

} // namespace quorvane
