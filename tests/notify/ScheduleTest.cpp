#include "config/ConfigStore.h"
#include "notify/PollSchedule.h"
#include "notify/Poller.h"
#include "platform/AnsiCodePage.h"
#include "server/ClientVersion.h"
#include "tests/notify/PollingRig.h"
#include "tests/notify/StepClock.h"
#include "tests/support/TestApplication.h"

#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace quorvane {

// The rows below name only the fields that differ from the defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

constexpr uint32_t kInterval = Poller::DefaultInterval;
// Close to the wrap of the tick count, so that later checks fall after it.
constexpr uint32_t kStart = 0xFFFFFFFFu - 3 * kInterval;
// What one cycle's work takes on the clock.
constexpr uint32_t kWorkMs = 7;

const QByteArray kNewer = "01.00.201205281430\r\n";

QStringList repeat(const QString& cycle, int times)
{
    return QStringList(times, cycle);
}

TEST(PollScheduleTest, ChecksFirstThenOnceMoreThanTenIntervalsHavePassed)
{
    const uint32_t spacing = PollSchedule::VersionCheckMultiple * kInterval;
    EXPECT_EQ(spacing, 1200000u);
    const struct
    {
        const char* what;
        uint32_t lastCheckEnded;
        uint32_t now;
        bool due;
    } cases[] = {
        {"exactly ten intervals later", 1000, 1000 + spacing, false},
        {"one millisecond more", 1000, 1000 + spacing + 1, true},
        {"just after the previous check", 1000, 1001, false},
        {"across the wrap of the tick count, not yet", 0xFFFFFF00u, 0xFFFFFF00u + spacing, false},
        {"across the wrap of the tick count", 0xFFFFFF00u, 0xFFFFFF00u + spacing + 1, true},
    };
    for (const auto& c : cases) {
        PollSchedule schedule(kInterval, 0);
        EXPECT_TRUE(schedule.versionCheckDue(0)) << "the first cycle always checks";
        schedule.versionCheckStarted();
        schedule.versionCheckEnded(c.lastCheckEnded);
        EXPECT_EQ(schedule.versionCheckDue(c.now), c.due) << c.what;
        schedule.decline();
        EXPECT_FALSE(schedule.versionCheckDue(c.now)) << c.what << ", declined";
    }
}

// One run of the polling thread on a clock the test moves on, against loopback servers.
struct ScheduleRow
{
    const char* name;
    // The client came in a distribution package (PollerOptions::packageManaged).
    bool packageManaged = false;
    QByteArray version = CLIENT_VERSION.toLatin1();
    QList<PollReply> polls = {PollReply::Nothing};
    QList<QMessageBox::StandardButton> answers;
    bool updater = false;
    bool validPackage = true;
    // Boxes besides the prompt come up (and are closed, written as "!").
    bool boxes = false;
    // Cycles (counted from 1) that find the thread paused.
    QList<int> paused;
    std::function<void(PollingRig&)> setup;
    // What each cycle did, in the letters of PollingRig.
    QStringList cycles;
    // The thread ends by itself in its last cycle.
    bool ends = false;
    std::function<void(PollingRig&, Poller&)> check;
};

class PollingScheduleTest : public ::testing::Test
{
protected:
    void SetUp() override { testApp(); }

    static void Run(const ScheduleRow& row)
    {
        SCOPED_TRACE(row.name);
        PollingRig rig;
        rig.serveVersion(row.version);
        rig.serveDescription(toAnsi(newVersionDescription()));
        rig.servePackage(row.validPackage, kNewer);
        rig.servePolls(row.polls);
        if (row.updater)
            rig.installUpdater();
        if (!row.validPackage || row.boxes)
            rig.closeUnpackFailureBoxes();
        if (row.setup)
            row.setup(rig);
        for (const auto answer : row.answers)
            MessageBox::setNextAnswer(answer);

        auto clock = std::make_shared<StepClock>(kStart, kWorkMs, [&rig] { rig.endCycle(); });
        PollerOptions options = rig.options(kInterval, clock);
        options.packageManaged = row.packageManaged;
        const std::unique_ptr<Poller> poller = rig.makePoller(std::move(options));
        Poller& thread = *poller;
        thread.start();
        for (int cycle = 1; cycle <= row.cycles.size(); ++cycle) {
            const bool last = cycle == row.cycles.size();
            if (last && row.ends) {
                ASSERT_TRUE(waitUntil([&] { return !thread.running(); })) << "the thread did not end";
                rig.endCycle();
                break;
            }
            ASSERT_TRUE(waitUntil([&] { return clock->sleeps() >= cycle; }))
                << "cycle " << cycle << " did not end; so far " << rig.cycles().join(' ').toStdString();
            if (!last) {
                thread.setPaused(row.paused.contains(cycle + 1));
                clock->release();
            }
        }
        EXPECT_EQ(rig.cycles(), row.cycles);
        if (row.check)
            row.check(rig, thread);
        thread.stop();
        EXPECT_FALSE(thread.running());
    }
};

TEST_F(PollingScheduleTest, CyclesAsTheScheduleSays)
{
    const auto expectPrompt = [](PollingRig& rig, Poller&) {
        ASSERT_FALSE(rig.prompts().isEmpty());
        for (const ShownMessage& prompt : rig.prompts()) {
            EXPECT_EQ(prompt.title, QStringLiteral("Quorvane"));
            EXPECT_EQ(prompt.text, QStringLiteral("发现有更新的版本\n要立刻升级吗?\n\n相关更新为:\n") +
                                       newVersionDescription());
            EXPECT_EQ(prompt.buttons, QMessageBox::Yes | QMessageBox::No);
            EXPECT_EQ(prompt.icon, QMessageBox::Information);
        }
        EXPECT_TRUE(rig.shown().isEmpty());
    };
    // A packaged client's notice, and a download server that was asked for nothing but the two
    // version files.
    const auto expectNotice = [](const QString& version) {
        return [version](PollingRig& rig, Poller&) {
            ASSERT_EQ(rig.prompts().size(), 1);
            const ShownMessage notice = rig.prompts()[0];
            EXPECT_EQ(notice.title, QStringLiteral("Quorvane"));
            EXPECT_EQ(notice.text, QStringLiteral("发现有更新的版本 ") + version +
                                       QStringLiteral("\n请通过系统的软件更新安装。\n\n相关更新为:\n") +
                                       newVersionDescription());
            EXPECT_EQ(notice.buttons, QMessageBox::Ok);
            EXPECT_EQ(notice.icon, QMessageBox::Information);
            EXPECT_EQ(ConfigStore().getAnnouncedVersion(), version);
        };
    };
    const auto expectNothingDownloaded = [](PollingRig& rig) {
        for (const QString& target : rig.server.targets()) {
            if (target.startsWith(QLatin1String("/res/download/")))
                EXPECT_TRUE(target.startsWith(QLatin1String("/res/download/quorvane_version.txt?v=")) ||
                            target == QLatin1String("/res/download/quorvane_version_desc.txt"))
                    << target.toStdString();
        }
        EXPECT_FALSE(QFileInfo::exists(rig.profile.cacheHome() + QStringLiteral("/quorvane")));
        EXPECT_TRUE(rig.updaterArguments(200).isEmpty()) << "the updater was started";
    };

    const ScheduleRow rows[] = {
        {.name = "the first cycle checks before it polls, the tenth cycle after it checks again",
         .cycles = QStringList{"VP"} + repeat("P", 9) + QStringList{"VP", "P", "P"}},
        {.name = "paused cycles do nothing; a check that fell due waits for the first cycle that runs",
         .paused = {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
         .cycles = QStringList{"VP"} + repeat("", 11) + QStringList{"VP", "P"}},
        {.name = "an unreachable download server asks nothing and is tried again ten cycles later",
         .version = "",
         .setup = [](PollingRig& rig) { rig.serveVersion("down", 500); },
         .cycles = QStringList{"VP"} + repeat("P", 9) + QStringList{"VP"}},
        {.name = "a declined update is never checked for again; polling goes on",
         .version = kNewer,
         .answers = {QMessageBox::No},
         .cycles = QStringList{"VKD?P"} + repeat("P", 11),
         .check = expectPrompt},
        {.name = "Yes with a started updater ends the client before the cycle's poll",
         .version = kNewer,
         .answers = {QMessageBox::Yes},
         .updater = true,
         .cycles = {"VKD?X"},
         .ends = true,
         .check =
             [&](PollingRig& rig, Poller& thread) {
                 expectPrompt(rig, thread);
                 const QStringList arguments = rig.updaterArguments();
                 ASSERT_EQ(arguments.size(), 1);
                 EXPECT_TRUE(arguments[0].startsWith(rig.profile.cacheHome() + "/quorvane/update-"));
                 EXPECT_TRUE(arguments[0].endsWith("/files/quorvane_client.exe quorvane_client.exe"));
             }},
        {.name = "Yes without a started updater says so, goes on polling and asks again ten cycles later",
         .version = kNewer,
         .answers = {QMessageBox::Yes, QMessageBox::No},
         .boxes = true,
         .cycles = QStringList{"VK!D?P"} + repeat("P", 9) + QStringList{"VKD?P", "P"},
         .check =
             [&](PollingRig& rig, Poller& thread) {
                 expectPrompt(rig, thread);
                 EXPECT_EQ(rig.prompts().size(), 2);
                 ASSERT_EQ(rig.failureBoxes().size(), 1);
                 EXPECT_EQ(rig.failureBoxes()[0].text, QStringLiteral("新版本没有安装成功，请稍后再试。"));
             }},
        {.name = "a package that does not unpack is reported on the user-interface thread and not offered",
         .version = kNewer,
         .validPackage = false,
         .cycles = {"VK!P", "P"},
         .check =
             [](PollingRig& rig, Poller&) {
                 ASSERT_EQ(rig.failureBoxes().size(), 1);
                 EXPECT_EQ(rig.failureBoxes()[0].title, QStringLiteral("Quorvane"));
                 EXPECT_EQ(rig.failureBoxes()[0].text, QStringLiteral("解压升级包失败!"));
             }},
        {.name = "a staging folder that cannot be made costs the check, not the polling",
         .version = kNewer,
         .setup =
             [](PollingRig& rig) {
                 // A cache "folder" that is a file: nothing can be made in it.
                 const QString notAFolder = rig.profile.root() + "/not-a-folder";
                 TempProfile::writeFile(notAFolder, "x");
                 qputenv("XDG_CACHE_HOME", QFile::encodeName(notAFolder));
             },
         .cycles = {"VP", "P", "P"}},
        {.name = "failing polls are swallowed and retried; a notification is handed over",
         .polls = {PollReply::HttpError, PollReply::Garbage, PollReply::Refused, PollReply::Notification},
         .cycles = {"VP", "P", "P", "PS"},
         .check =
             [](PollingRig& rig, Poller&) {
                 EXPECT_TRUE(rig.prompts().isEmpty());
                 ASSERT_EQ(rig.shown().size(), 1);
                 const Reply shown = rig.shown()[0];
                 EXPECT_TRUE(shown.success);
                 EXPECT_EQ(shown.url, rig.appUrl() + "/notice/1");
                 EXPECT_EQ(shown.width, 300);
                 EXPECT_EQ(shown.height, 200);
             }},
        {.name = "two refused polls in a row hand the session's end over once; polling goes on",
         .polls = {PollReply::Refused},
         .cycles = {"VP", "PR", "P", "PR"}},
        {.name = "a refusal between answered polls does not end the session",
         .polls = {PollReply::Refused, PollReply::Nothing, PollReply::Refused, PollReply::Nothing},
         .cycles = {"VP", "P", "P", "P"}},
        {.name = "a packaged client tells of a newer version once, downloads nothing and goes on polling",
         .packageManaged = true,
         .version = kNewer,
         .answers = {QMessageBox::Yes},
         .updater = true,
         .cycles = QStringList{"VD?P"} + repeat("P", 9) + QStringList{"VP", "P"},
         .check =
             [&](PollingRig& rig, Poller& thread) {
                 expectNotice(QStringLiteral("01.00.201205281430"))(rig, thread);
                 expectNothingDownloaded(rig);
             }},
        {.name = "a packaged client does not tell again of a version it told of in an earlier run",
         .packageManaged = true,
         .version = kNewer,
         .setup =
             [](PollingRig&) { ConfigStore().setAnnouncedVersion(QStringLiteral("01.00.201205281430")); },
         .cycles = {"VP", "P"},
         .check =
             [&](PollingRig& rig, Poller&) {
                 EXPECT_TRUE(rig.prompts().isEmpty());
                 expectNothingDownloaded(rig);
             }},
        {.name = "a packaged client tells of a version newer than the one it told of before",
         .packageManaged = true,
         .version = "01.00.201206010900",
         .setup =
             [](PollingRig&) { ConfigStore().setAnnouncedVersion(QStringLiteral("01.00.201205281430")); },
         .cycles = {"VD?P", "P"},
         .check =
             [&](PollingRig& rig, Poller& thread) {
                 expectNotice(QStringLiteral("01.00.201206010900"))(rig, thread);
                 expectNothingDownloaded(rig);
             }},
        {.name = "a packaged client with nothing newer tells nothing",
         .packageManaged = true,
         .cycles = {"VP", "P"},
         .check =
             [&](PollingRig& rig, Poller&) {
                 EXPECT_TRUE(rig.prompts().isEmpty());
                 EXPECT_TRUE(ConfigStore().getAnnouncedVersion().isEmpty());
                 expectNothingDownloaded(rig);
             }},
        {.name = "url 0 shows nothing and leaves polling running",
         .polls = {PollReply::Nothing},
         .cycles = {"VP", "P", "P"},
         .check =
             [](PollingRig& rig, Poller& thread) {
                 EXPECT_TRUE(rig.shown().isEmpty());
                 EXPECT_FALSE(thread.paused());
             }},
    };
    for (const ScheduleRow& row : rows)
        Run(row);
}

} // namespace

} // namespace quorvane
