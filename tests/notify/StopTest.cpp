#include "notify/Poller.h"
#include "platform/Failure.h"
#include "server/ClientVersion.h"
#include "tests/notify/PollingRig.h"
#include "tests/support/TestApplication.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace quorvane {

namespace {

// The polling thread with the client's own two-minute interval and the system clock.
class StopTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testApp();
        m_rig.serveVersion(CLIENT_VERSION.toLatin1());
        m_rig.servePolls({PollReply::Nothing});
    }

    std::unique_ptr<Poller> makeThread(std::function<void(const Reply&)> onShow = {})
    {
        return m_rig.makePoller(m_rig.options(), std::move(onShow));
    }

    bool pollsArrived(int count)
    {
        return waitUntil([&] {
            int polls = 0;
            for (const QString& target : m_rig.server.targets())
                polls += target.startsWith(PollingRig::pollPath()) ? 1 : 0;
            return polls >= count;
        });
    }

    // Runs `stop` on a thread of its own and waits for it while the event loop runs; false when
    // it has not returned after `timeoutMs`.
    static bool returnsWithin(const std::function<void()>& stop, int timeoutMs = 20000)
    {
        auto done = std::make_shared<std::atomic<bool>>(false);
        std::thread stopper([stop, done] {
            stop();
            *done = true;
        });
        const bool returned = waitUntil([&] { return done->load(); }, timeoutMs);
        if (returned)
            stopper.join();
        else
            stopper.detach(); // the failure is reported; the process ends with the test program
        return returned;
    }

    PollingRig m_rig;
};

TEST_F(StopTest, CutsTheTwoMinuteSleepShortAndStaysStopped)
{
    auto thread = makeThread();
    EXPECT_EQ(thread->interval(), 120000u);
    thread->start();
    ASSERT_TRUE(pollsArrived(1));
    runEvents(100);
    EXPECT_TRUE(returnsWithin([&] { thread->stop(); }));
    EXPECT_FALSE(thread->running());
    // Stopping again, or starting a stopped thread, does nothing.
    thread->stop();
    thread->start();
    thread->stop();
    EXPECT_FALSE(thread->running());
}

// After a suspend the client polls at once; the sleeps after that last the whole interval again.
using PollNowTest = StopTest;

TEST_F(PollNowTest, CutsOneTwoMinuteSleepShort)
{
    auto thread = makeThread();
    thread->start();
    ASSERT_TRUE(pollsArrived(1));
    runEvents(100);
    thread->pollNow();
    ASSERT_TRUE(pollsArrived(2)) << "no poll before the two minutes were up";
    runEvents(500);
    int polls = 0;
    for (const QString& target : m_rig.server.targets())
        polls += target.startsWith(PollingRig::pollPath()) ? 1 : 0;
    EXPECT_EQ(polls, 2);
    thread->stop();
}

TEST_F(StopTest, AbortsAPollThatWaitsForTheServer)
{
    m_rig.server.stall(PollingRig::pollPath().toStdString());
    auto thread = makeThread();
    thread->start();
    ASSERT_TRUE(pollsArrived(1));
    EXPECT_TRUE(returnsWithin([&] { thread->stop(); }));
    EXPECT_TRUE(m_rig.shown().isEmpty());
    // The session is done with: a later request fails at once instead of reaching the server.
    EXPECT_THROW(m_rig.session.getInformationList(), Failure);
}

TEST_F(StopTest, AbortsAPackageDownloadThatWaitsForTheServer)
{
    m_rig.serveVersion("01.00.201205281430");
    m_rig.serveSignature("a signature is fetched first");
    m_rig.server.stall("/res/download/quorvane_upgrade.cab");
    auto thread = makeThread();
    thread->start();
    ASSERT_TRUE(m_rig.server.waitForRequests(3));
    ASSERT_TRUE(m_rig.server.targets().last().startsWith("/res/download/quorvane_upgrade.cab"));
    EXPECT_TRUE(returnsWithin([&] { thread->stop(); }));
    // No prompt and no poll after the stop.
    EXPECT_TRUE(MessageBox::shown().isEmpty());
    for (const QString& target : m_rig.server.targets())
        EXPECT_FALSE(target.startsWith(PollingRig::pollPath())) << target.toStdString();
}

TEST_F(StopTest, AStopFromInsideAHandOverDoesNotWaitForItself)
{
    // The main window ends the client, and so stops the thread, while the thread waits for a
    // hand-over to finish (exitApplication in syncExit, or the window closing while a
    // notification is being shown).
    m_rig.servePolls({PollReply::Notification});
    std::unique_ptr<Poller> thread;
    bool stoppedInside = false;
    thread = makeThread([&](const Reply&) {
        thread->stop();
        stoppedInside = true;
    });
    thread->start();
    ASSERT_TRUE(waitUntil([&] { return stoppedInside; }));
    EXPECT_FALSE(thread->running());
    EXPECT_EQ(m_rig.shown().size(), 1);
}

TEST_F(StopTest, TheDestructorStopsAndJoins)
{
    auto thread = makeThread();
    thread->start();
    ASSERT_TRUE(pollsArrived(1));
    runEvents(100);
    // On the thread that owns it, as the main window deletes it. The thread sleeps for two
    // minutes between polls; a destructor that waited for the sleep instead of cutting it short
    // would take that long.
    QElapsedTimer clock;
    clock.start();
    thread.reset();
    EXPECT_LT(clock.elapsed(), 20000);
    // Joined: no poll comes after it.
    const qsizetype polls = m_rig.server.targets().size();
    runEvents(300);
    EXPECT_EQ(m_rig.server.targets().size(), polls);
}

} // namespace

} // namespace quorvane
