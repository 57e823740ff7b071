#include "notify/TimerThread.h"
#include "platform/Failure.h"
#include "server/ClientVersion.h"
#include "tests/notify/PollingRig.h"
#include "tests/support/TestApplication.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

// The polling thread with the client's own two-minute interval and the system clock.
class StopTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TestApp();
        rig.ServeVersion(CLIENT_VERSION.toLatin1());
        rig.ServePolls({PollReply::Nothing});
    }

    std::unique_ptr<TTimerThread> MakeThread(TTimerThreadOwner owner)
    {
        return std::make_unique<TTimerThread>(std::move(owner), rig.Options());
    }

    bool PollsArrived(int count)
    {
        return WaitUntil([&] {
            int polls = 0;
            for (const QString& target : rig.server.Targets())
                polls += target.startsWith(PollingRig::PollPath()) ? 1 : 0;
            return polls >= count;
        });
    }

    // Runs `stop` on a thread of its own and waits for it while the event loop runs; false when
    // it has not returned after `timeoutMs`.
    static bool ReturnsWithin(const std::function<void()>& stop, int timeoutMs = 20000)
    {
        auto done = std::make_shared<std::atomic<bool>>(false);
        std::thread stopper([stop, done] {
            stop();
            *done = true;
        });
        const bool returned = WaitUntil([&] { return done->load(); }, timeoutMs);
        if (returned)
            stopper.join();
        else
            stopper.detach(); // the failure is reported; the process ends with the test program
        return returned;
    }

    PollingRig rig;
};

TEST_F(StopTest, CutsTheTwoMinuteSleepShortAndStaysStopped)
{
    auto thread = MakeThread(rig.Owner());
    EXPECT_EQ(thread->Interval(), 120000u);
    thread->Start();
    ASSERT_TRUE(PollsArrived(1));
    RunEvents(100);
    EXPECT_TRUE(ReturnsWithin([&] { thread->Stop(); }));
    EXPECT_FALSE(thread->Running());
    // Stopping again, or starting a stopped thread, does nothing.
    thread->Stop();
    thread->Start();
    thread->Stop();
    EXPECT_FALSE(thread->Running());
}

TEST_F(StopTest, AbortsAPollThatWaitsForTheServer)
{
    rig.server.Stall(PollingRig::PollPath().toStdString());
    auto thread = MakeThread(rig.Owner());
    thread->Start();
    ASSERT_TRUE(PollsArrived(1));
    EXPECT_TRUE(ReturnsWithin([&] { thread->Stop(); }));
    EXPECT_TRUE(rig.Shown().isEmpty());
    // The session is done with: a later request fails at once instead of reaching the server.
    EXPECT_THROW(rig.session.GetInformationList(), TFailure);
}

TEST_F(StopTest, AbortsAPackageDownloadThatWaitsForTheServer)
{
    rig.ServeVersion("01.00.201205281430");
    rig.ServeSignature("a signature is fetched first");
    rig.server.Stall("/res/download/quorvane_upgrade.cab");
    auto thread = MakeThread(rig.Owner());
    thread->Start();
    ASSERT_TRUE(rig.server.WaitForRequests(3));
    ASSERT_TRUE(rig.server.Targets().last().startsWith("/res/download/quorvane_upgrade.cab"));
    EXPECT_TRUE(ReturnsWithin([&] { thread->Stop(); }));
    // No prompt and no poll after the stop.
    EXPECT_TRUE(TMessageBox::Shown().isEmpty());
    for (const QString& target : rig.server.Targets())
        EXPECT_FALSE(target.startsWith(PollingRig::PollPath())) << target.toStdString();
}

TEST_F(StopTest, AStopFromInsideAHandOverDoesNotWaitForItself)
{
    // The main window ends the client, and so stops the thread, while the thread waits for a
    // hand-over to finish (ExitApplication in SyncExit, or the window closing while a
    // notification is being shown).
    rig.ServePolls({PollReply::Notification});
    std::unique_ptr<TTimerThread> thread;
    bool stoppedInside = false;
    thread = MakeThread(rig.Owner([&](const APIResponse&) {
        thread->Stop();
        stoppedInside = true;
    }));
    thread->Start();
    ASSERT_TRUE(WaitUntil([&] { return stoppedInside; }));
    EXPECT_FALSE(thread->Running());
    EXPECT_EQ(rig.Shown().size(), 1);
}

TEST_F(StopTest, TheDestructorStopsAndJoins)
{
    auto thread = MakeThread(rig.Owner());
    thread->Start();
    ASSERT_TRUE(PollsArrived(1));
    RunEvents(100);
    // On the thread that owns it, as the main window deletes it. The thread sleeps for two
    // minutes between polls; a destructor that waited for the sleep instead of cutting it short
    // would take that long.
    QElapsedTimer clock;
    clock.start();
    thread.reset();
    EXPECT_LT(clock.elapsed(), 20000);
    // Joined: no poll comes after it.
    const qsizetype polls = rig.server.Targets().size();
    RunEvents(300);
    EXPECT_EQ(rig.server.Targets().size(), polls);
}

} // namespace
