#include "platform/Failure.h"
#include "tests/devserver/DemoServerFixture.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <atomic>
#include <thread>
#include <vector>

namespace quorvane {

namespace {

std::string pollTarget(const QString& token)
{
    return "/quorvane2/information/getInformationList?format=xml&v=01.00.201205281429"
           "&userName=demo%40quorvane.com&token=" +
           token.toStdString() + "&ot=120000";
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class Notifications : public DemoServerTest
{
protected:
    void SetUp() override { startServer(); }
};

TEST_F(Notifications, ASignInLeavesOneNotificationThenPollsAnswerZeroUntilOneIsQueued)
{
    const QString token = signIn(QStringLiteral("demo@quorvane.com"), QStringLiteral("demo123"));

    DemoReply reply = call(pollTarget(token));
    EXPECT_EQ(reply.code(), "0");
    EXPECT_EQ(reply.value("url"), "/information/message?id=1");
    EXPECT_EQ(reply.value("width"), "300");
    EXPECT_EQ(reply.value("height"), "220");
    EXPECT_EQ(reply.value("title_height"), "51");

    for (int i = 0; i < 2; ++i) {
        reply = call(pollTarget(token));
        EXPECT_EQ(reply.code(), "0");
        EXPECT_EQ(reply.value("url"), "0");
        EXPECT_FALSE(reply.has("width"));
    }

    const DemoReply queued =
        call("/admin/notify?userName=demo%40quorvane.com&url=%2Finformation%2Fmessage%3Fid%3D2"
             "&width=320&height=240&title_height=30");
    EXPECT_EQ(queued.code(), "0");
    reply = call(pollTarget(token));
    EXPECT_EQ(reply.value("url"), "/information/message?id=2");
    EXPECT_EQ(reply.value("width"), "320");
    EXPECT_EQ(reply.value("height"), "240");
    EXPECT_EQ(reply.value("title_height"), "30");
    EXPECT_EQ(call(pollTarget(token)).value("url"), "0");
}

TEST_F(Notifications, QueuedNotificationsAreHandedOutInOrderAndPerUser)
{
    const QString token = signIn(QStringLiteral("demo@quorvane.com"), QStringLiteral("demo123"));
    // A second sign-in does not queue a second greeting.
    signIn(QStringLiteral("DEMO@quorvane.com"), QStringLiteral("demo123"));
    EXPECT_EQ(call("/admin/notify?userName=demo%40quorvane.com").code(), "0");
    EXPECT_EQ(call("/admin/notify?userName=agency%40quorvane.com").code(), "0");

    EXPECT_EQ(call(pollTarget(token)).value("url"), "/information/message?id=1");
    EXPECT_EQ(call(pollTarget(token)).value("url"), "/information/message?id=2");
    EXPECT_EQ(call(pollTarget(token)).value("url"), "0");
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
        const DemoReply reply = call(target);
        EXPECT_NE(reply.code(), "0") << target;
        EXPECT_FALSE(reply.value("msg").isEmpty()) << target;
    }
}

class Persistence : public DemoServerTest
{
};

TEST_F(Persistence, RegistrationAndPasswordChangeSurviveARestartButTokensDoNot)
{
    startServer();
    const DemoReply registered =
        call(registerTarget(QStringLiteral("new@quorvane.com"), QStringLiteral("secret1")));
    ASSERT_EQ(registered.code(), "0");
    const QString token = signIn(QStringLiteral("demo@quorvane.com"), QStringLiteral("demo123"));
    ASSERT_EQ(
        call("/quorvane2/users/changePassword?format=xml&userName=demo%40quorvane.com&oldPassword=demo123"
             "&newPassword=changed1&token=" +
             token.toStdString())
            .code(),
        "0");

    restartServer();

    signIn(QStringLiteral("new@quorvane.com"), QStringLiteral("secret1"));
    signIn(QStringLiteral("demo@quorvane.com"), QStringLiteral("changed1"));
    EXPECT_EQ(
        call("/quorvane2/users/userLogin?format=xml&userName=demo%40quorvane.com&password=demo123").code(),
        "1");
    EXPECT_EQ(call(registerTarget(QStringLiteral("new@quorvane.com"), QStringLiteral("secret1"))).code(),
              "4");
    EXPECT_EQ(call(pollTarget(token)).code(), "2");
    EXPECT_EQ(call(pollTarget(registered.value("token"))).code(), "2");
}

TEST_F(Persistence, ConcurrentRegistrationsAreAllKept)
{
    startServer();
    constexpr int kThreads = 6;
    constexpr int kPerThread = 5;
    std::vector<std::thread> threads;
    std::atomic<int> registered = 0;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kPerThread; ++i) {
                const QString name = QStringLiteral("user%1-%2@quorvane.com").arg(t).arg(i);
                if (call(registerTarget(name, QStringLiteral("secret1"))).code() == QLatin1String("0"))
                    ++registered;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(registered, kThreads * kPerThread);

    restartServer();
    for (int t = 0; t < kThreads; ++t) {
        for (int i = 0; i < kPerThread; ++i)
            signIn(QStringLiteral("user%1-%2@quorvane.com").arg(t).arg(i), QStringLiteral("secret1"));
    }
}

TEST_F(Persistence, TheStoreIsWrittenWholeWithoutTemporaryFilesOrPlainPasswords)
{
    startServer();
    ASSERT_EQ(call(registerTarget(QStringLiteral("new@quorvane.com"), QStringLiteral("secret1"))).code(),
              "0");

    const QStringList files = QDir(dataDir()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(files, QStringList({QStringLiteral("accounts.json"), QStringLiteral("requests.log")}));
    const QByteArray store = readFile(QDir(dataDir()).filePath(QStringLiteral("accounts.json")));
    EXPECT_FALSE(QJsonDocument::fromJson(store).isNull());
    EXPECT_TRUE(store.contains("new@quorvane.com"));
    EXPECT_FALSE(store.contains("secret1"));
    EXPECT_FALSE(store.contains("demo123"));
}

TEST_F(Persistence, ADamagedStoreStopsTheStartAndIsLeftAsItWas)
{
    const QString path = QDir(dataDir()).filePath(QStringLiteral("accounts.json"));
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
        EXPECT_THROW(DemoServer{options()}, Failure) << content.toStdString();
        EXPECT_EQ(readFile(path), content);
    }
}

TEST_F(Persistence, AStoreThatCannotBeWrittenRefusesTheChangeAndKeepsTheOldState)
{
    startServer();
    // Where the store should go there is now a folder, so replacing the file fails.
    const QString path = QDir(dataDir()).filePath(QStringLiteral("accounts.json"));
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir().mkdir(path));

    const DemoReply reply =
        call(registerTarget(QStringLiteral("new@quorvane.com"), QStringLiteral("secret1")));
    EXPECT_EQ(reply.code(), "8");
    EXPECT_FALSE(reply.value("msg").isEmpty());
    EXPECT_EQ(
        call("/quorvane2/users/userLogin?format=xml&userName=new%40quorvane.com&password=secret1").code(),
        "1");
    signIn(QStringLiteral("demo@quorvane.com"), QStringLiteral("demo123"));
}

} // namespace

} // namespace quorvane
