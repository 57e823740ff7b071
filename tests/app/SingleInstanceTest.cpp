#include "tests/app/ClientProcess.h"
#include "tests/support/TempProfile.h"

#include <QRegularExpression>
#include <gtest/gtest.h>
#include <optional>

namespace {

qint64 StoredHandle(const TempProfile& profile)
{
    const QString ini = TempProfile::ReadFile(profile.ConfigFile());
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("handle=(-?\\d+)")).match(ini);
    return match.hasMatch() ? match.captured(1).toLongLong() : 0;
}

class SingleInstanceTest : public ::testing::Test
{
protected:
    // Starts the first client and waits until its main window exists and its id is stored.
    qint64 StartFirstClient()
    {
        first.emplace(profile);
        first->Start();
        qint64 handle = 0;
        EXPECT_TRUE(WaitUntil([&] { return (handle = StoredHandle(profile)) > 0; }, 30000));
        return handle;
    }

    // Runs a second client to its end and checks that it ended as it should.
    void RunSecondClient()
    {
        ClientProcess second(profile);
        second.Start();
        ASSERT_TRUE(second.WaitForExit(30000));
        EXPECT_TRUE(second.EndedNormally());
        EXPECT_EQ(second.ExitCode(), 0);
    }

    TempProfile profile;
    std::optional<ClientProcess> first;
};

TEST_F(SingleInstanceTest, SecondStartShowsTheRunningClientAndEnds)
{
    const qint64 handle = StartFirstClient();
    // The main window exists but stays hidden until sign-in succeeds.
    EXPECT_EQ(MapState(handle), QStringLiteral("IsUnMapped"));
    // The first run switched autostart on for this executable.
    EXPECT_TRUE(TempProfile::ReadFile(profile.AutostartFile())
                    .contains(QStringLiteral("Exec=") + QStringLiteral(QUORVANE_CLIENT_EXE)));

    RunSecondClient();

    EXPECT_TRUE(WaitUntil([&] { return MapState(handle) == QStringLiteral("IsViewable"); }, 10000));
    EXPECT_EQ(StoredHandle(profile), handle); // the second start wrote nothing
}

TEST_F(SingleInstanceTest, StaleOrMissingHandleHasNoEffect)
{
    const qint64 handle = StartFirstClient();
    for (const char* stored : {"-1", "12345", "0"}) {
        TempProfile::WriteFile(profile.ConfigFile(), QByteArray("[Common]\nhandle=") + stored + "\n");
        RunSecondClient();
        EXPECT_EQ(MapState(handle), QStringLiteral("IsUnMapped")) << stored;
    }
}

TEST_F(SingleInstanceTest, ClientStartsAgainAfterTheFirstHasEnded)
{
    StartFirstClient();
    first.reset(); // ends the first client
    TempProfile::WriteFile(profile.ConfigFile(), "[Common]\n");
    EXPECT_GT(StartFirstClient(), 0);
}

} // namespace
