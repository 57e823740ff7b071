#include "platform/Failure.h"
#include "tests/devserver/DemoServerFixture.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <atomic>
#include <thread>
#include <vector>

namespace {

std::string PollTarget(const QString& token)
{
    return "/quorvane2/information/getInformationList?format=xml&v=01.00.201205281429"
           "&userName=demo%40quorvane.com&token=" +
           token.toStdString() + "&ot=120000";
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class Notifications : public DemoServerTest
{
protected:
    void SetUp() override { StartServer(); }
};

TEST_F(Notifications, ASignInLeavesOneNotificationThenPollsAnswerZeroUntilOneIsQueued)
{
    const QString token = SignIn(QStringLiteral("demo@quorvane.com"), QStringLiteral("demo123"));

    TReply reply = Call(PollTarget(token));
    EXPECT_EQ(reply.Code(), "0");
    EXPECT_EQ(reply.Value("url"), "/information/message?id=1");
    EXPECT_EQ(reply.Value("width"), "300");
    EXPECT_EQ(reply.Value("height"), "220");
    EXPECT_EQ(reply.Value("title_height"), "51");

    for (int i = 0; i < 2; ++i) {
        reply = Call(PollTarget(token));
        EXPECT_EQ(reply.Code(), "0");
        EXPECT_EQ(reply.Value("url"), "0");
        EXPECT_FALSE(reply.Has("width"));
    }

    const TReply queued =
        Call("/admin/notify?userName=demo%40quorvane.com&url=%2Finformation%2Fmessage%3Fid%3D2"
             "&width=320&height=240&title_height=30");
    EXPECT_EQ(queued.Code(), "0");
    reply = Call(PollTarget(token));
    EXPECT_EQ(reply.Value("url"), "/information/message?id=2");
    EXPECT_EQ(reply.Value("width"), "320");
    EXPECT_EQ(reply.Value("height"), "240");
    EXPECT_EQ(reply.Value("title_height"), "30");
    EXPECT_EQ(Call(PollTarget(token)).Value("url"), "0");
}

TEST_F(Notifications, QueuedNotificationsAreHandedOutInOrderAndPerUser)
{
    const QString token = SignIn(QStringLiteral("demo@quorvane.com"), QStringLiteral("demo123"));
    // A second sign-in does not queue a second greeting.
    SignIn(QStringLiteral("DEMO@quorvane.com"), QStringLiteral("demo123"));
    EXPECT_EQ(Call("/admin/notify?userName=demo%40quorvane.com").Code(), "0");
    EXPECT_EQ(Call("/admin/notify?userName=agency%40quorvane.com").Code(), "0");

    EXPECT_EQ(Call(PollTarget(token)).Value("url"), "/information/message?id=1");
    EXPECT_EQ(Call(PollTarget(token)).Value("url"), "/information/message?id=2");
    EXPECT_EQ(Call(PollTarget(token)).Value("url"), "0");
}

TEST_F(Notifications, AdminNotifyRefusesBadInput)
{
    const char* const targets[] = {
        "/admin/notify",
        "/admin/notify?userName=nobody%40quorvane.com",
        "/admin/notify?userName=demo%40quorvane.com&url=information",
        "/admin/notify?userName=demo%40quorvane.com&url=%2Fa%20b",
        "/admin/notify?userName=demo%40quorvane.com&width=wide",
        "/admin/notify?userName=demo%40quorvane.com&height=-1",
    };
    for (const char* target : targets) {
        const TReply reply = Call(target);
        EXPECT_NE(reply.Code(), "0") << target;
        EXPECT_FALSE(reply.Value("msg").isEmpty()) << target;
    }
}

class Persistence : public DemoServerTest
{
};

TEST_F(Persistence, RegistrationAndPasswordChangeSurviveARestartButTokensDoNot)
{
    StartServer();
    const TReply registered =
        Call(RegisterTarget(QStringLiteral("new@quorvane.com"), QStringLiteral("secret1")));
    ASSERT_EQ(registered.Code(), "0");
    const QString token = SignIn(QStringLiteral("demo@quorvane.com"), QStringLiteral("demo123"));
    ASSERT_EQ(
        Call("/quorvane2/users/changePassword?format=xml&userName=demo%40quorvane.com&oldPassword=demo123"
             "&newPassword=changed1&token=" +
             token.toStdString())
            .Code(),
        "0");

    RestartServer();

    SignIn(QStringLiteral("new@quorvane.com"), QStringLiteral("secret1"));
    SignIn(QStringLiteral("demo@quorvane.com"), QStringLiteral("changed1"));
    EXPECT_EQ(
        Call("/quorvane2/users/userLogin?format=xml&userName=demo%40quorvane.com&password=demo123").Code(),
        "1");
    EXPECT_EQ(Call(RegisterTarget(QStringLiteral("new@quorvane.com"), QStringLiteral("secret1"))).Code(),
              "4");
    EXPECT_EQ(Call(PollTarget(token)).Code(), "2");
    EXPECT_EQ(Call(PollTarget(registered.Value("token"))).Code(), "2");
}

TEST_F(Persistence, ConcurrentRegistrationsAreAllKept)
{
    StartServer();
    constexpr int kThreads = 6;
    constexpr int kPerThread = 5;
    std::vector<std::thread> threads;
    std::atomic<int> registered = 0;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kPerThread; ++i) {
                const QString name = QStringLiteral("user%1-%2@quorvane.com").arg(t).arg(i);
                if (Call(RegisterTarget(name, QStringLiteral("secret1"))).Code() == QLatin1String("0"))
                    ++registered;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(registered, kThreads * kPerThread);

    RestartServer();
    for (int t = 0; t < kThreads; ++t) {
        for (int i = 0; i < kPerThread; ++i)
            SignIn(QStringLiteral("user%1-%2@quorvane.com").arg(t).arg(i), QStringLiteral("secret1"));
    }
}

TEST_F(Persistence, TheStoreIsWrittenWholeWithoutTemporaryFilesOrPlainPasswords)
{
    StartServer();
    ASSERT_EQ(Call(RegisterTarget(QStringLiteral("new@quorvane.com"), QStringLiteral("secret1"))).Code(),
              "0");

    const QStringList files = QDir(DataDir()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(files, QStringList({QStringLiteral("accounts.json"), QStringLiteral("requests.log")}));
    const QByteArray store = ReadFile(QDir(DataDir()).filePath(QStringLiteral("accounts.json")));
    EXPECT_FALSE(QJsonDocument::fromJson(store).isNull());
    EXPECT_TRUE(store.contains("new@quorvane.com"));
    EXPECT_FALSE(store.contains("secret1"));
    EXPECT_FALSE(store.contains("demo123"));
}

TEST_F(Persistence, ADamagedStoreStopsTheStartAndIsLeftAsItWas)
{
    const QString path = QDir(DataDir()).filePath(QStringLiteral("accounts.json"));
    const QByteArray damaged[] = {
        QByteArrayLiteral("{\"accounts\": [ {\"name\": \"a@b.c\""),
        QByteArrayLiteral("{\"accounts\": [ {\"name\": \"a@b.c\", \"kind\": \"account\"} ]}"),
        QByteArrayLiteral("[1, 2, 3]"),
    };
    for (const QByteArray& content : damaged) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
        EXPECT_THROW(TDemoServer{Options()}, TFailure) << content.toStdString();
        EXPECT_EQ(ReadFile(path), content);
    }
}

TEST_F(Persistence, AStoreThatCannotBeWrittenRefusesTheChangeAndKeepsTheOldState)
{
    StartServer();
    // Where the store should go there is now a folder, so replacing the file fails.
    const QString path = QDir(DataDir()).filePath(QStringLiteral("accounts.json"));
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir().mkdir(path));

    const TReply reply = Call(RegisterTarget(QStringLiteral("new@quorvane.com"), QStringLiteral("secret1")));
    EXPECT_EQ(reply.Code(), "8");
    EXPECT_FALSE(reply.Value("msg").isEmpty());
    EXPECT_EQ(
        Call("/quorvane2/users/userLogin?format=xml&userName=new%40quorvane.com&password=secret1").Code(),
        "1");
    SignIn(QStringLiteral("demo@quorvane.com"), QStringLiteral("demo123"));
}

} // namespace
