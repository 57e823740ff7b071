#include "platform/AnsiCodePage.h"
#include "platform/Failure.h"
#include "tests/devserver/DemoServerFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quorvane {

namespace {

class Downloads : public DemoServerTest
{
};

TEST_F(Downloads, PublishTheVersionItsDescriptionAndThePackage)
{
    const QString package = QDir(dataDir()).filePath(QStringLiteral("package.cab"));
    const QByteArray packageBytes("MSCF\0\0\0\0fake cabinet", 21);
    {
        QFile file(package);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(packageBytes);
    }
    startServer(parseDemoServerOptions(
        {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--data"), dataDir(),
         QStringLiteral("--version"), QStringLiteral("01.00.201212101200"), QStringLiteral("--version-desc"),
         QStringLiteral("修复若干问题"), QStringLiteral("--package"), package}));

    const httplib::Result version = get("/res/download/quorvane_version.txt?v=01.00.201205281429");
    ASSERT_TRUE(version);
    EXPECT_EQ(version->status, 200);
    EXPECT_EQ(version->body, "01.00.201212101200");

    const httplib::Result description = get("/res/download/quorvane_version_desc.txt");
    ASSERT_TRUE(description);
    EXPECT_EQ(description->get_header_value("Content-Type"), "text/plain; charset=GBK");
    EXPECT_EQ(QByteArray::fromStdString(description->body), toAnsi(QStringLiteral("修复若干问题")));

    const httplib::Result cab = get("/res/download/quorvane_upgrade.cab");
    ASSERT_TRUE(cab);
    EXPECT_EQ(cab->status, 200);
    EXPECT_EQ(QByteArray::fromStdString(cab->body), packageBytes);

    // Its signature is the file beside it, once there is one.
    EXPECT_EQ(get("/res/download/quorvane_upgrade.cab.minisig")->status, 404);
    {
        QFile file(package + QStringLiteral(".minisig"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("untrusted comment: x\n");
    }
    const httplib::Result signature = get("/res/download/quorvane_upgrade.cab.minisig");
    ASSERT_TRUE(signature);
    EXPECT_EQ(signature->status, 200);
    EXPECT_EQ(signature->body, "untrusted comment: x\n");

    // A package rebuilt while the server runs is served as it is now; a vanished one is missing.
    ASSERT_TRUE(QFile::remove(package));
    EXPECT_EQ(get("/res/download/quorvane_upgrade.cab")->status, 404);
}

TEST_F(Downloads, WithoutOptionsTheClientsOwnVersionAndNoPackageArePublished)
{
    startServer();
    EXPECT_EQ(get("/res/download/quorvane_version.txt")->body, QUORVANE_DEMO_DEFAULT_VERSION_FOR_TESTS);
    EXPECT_FALSE(get("/res/download/quorvane_version_desc.txt")->body.empty());
    EXPECT_EQ(get("/res/download/quorvane_upgrade.cab")->status, 404);
}

class Routing : public DemoServerTest
{
protected:
    void SetUp() override { startServer(); }
};

TEST_F(Routing, UnknownPathsAnswer404)
{
    const char* const targets[] = {
        "/",
        "/quorvane2",
        "/quorvane2/",
        "/quorvane2/users/",
        "/quorvane2/users/userLogin/more?format=xml",
        "/quorvane2/USERS/userLogin?format=xml",
        "/users/userLogin?format=xml&userName=a&password=b",
        "/quorvane3/users/userLogin?format=xml",
        "/res/download/",
        "/res/download/quorvane_client.exe",
        "/res/download/../download/quorvane_version.txt",
        "/admin",
        "/share/share.php?url=x",
        "/favicon.ico",
    };
    for (const char* target : targets) {
        const httplib::Result result = get(target);
        ASSERT_TRUE(result) << target;
        EXPECT_EQ(result->status, 404) << target;
    }
}

TEST_F(Routing, ListensOnTheLoopbackAddressOnly)
{
    EXPECT_EQ(get("/res/download/quorvane_version.txt")->status, 200);
    // Another loopback address reaches a server bound to all addresses, but not this one.
    httplib::Client other("127.0.0.2", port());
    other.set_connection_timeout(5);
    EXPECT_FALSE(other.Get("/res/download/quorvane_version.txt"));
}

// A page of any site can make the browser send requests here by rebinding its own name to
// 127.0.0.1: only this server's own names are answered.
TEST_F(Routing, AnswersOnlyItsOwnHostNames)
{
    const std::string port = std::to_string(this->port());
    const struct
    {
        std::string host;
        int status;
    } cases[] = {
        {"127.0.0.1:" + port, 200},
        {"localhost:" + port, 200},
        {"LOCALHOST:" + port, 200},
        {"service.weibo.com", 200},
        {"v.t.sina.com.cn:" + port, 200},
        {"evil.example:" + port, 403},
        {"127.0.0.1", 403},
        {"127.0.0.1:1", 403},
        {"localhost.evil.example:" + port, 403},
        {"", 403},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.host);
        const httplib::Result result = get("/res/download/quorvane_version.txt", {{"Host", c.host}});
        ASSERT_TRUE(result);
        // A share host has no download files, but its name is answered.
        const bool share =
            c.host.find("weibo") != std::string::npos || c.host.find("sina") != std::string::npos;
        EXPECT_EQ(result->status, share ? 404 : c.status);
    }
}

// The admin URLs give away every request line (passwords included) and queue notifications:
// only with the key the server printed at start.
TEST_F(Routing, AdminUrlsNeedTheKey)
{
    httplib::Client client("127.0.0.1", port());
    for (const char* target : {"/admin/requests", "/admin/requests?key=", "/admin/requests?key=0123",
                               "/admin/notify?userName=demo%40quorvane.com"}) {
        const httplib::Result result = client.Get(target);
        ASSERT_TRUE(result) << target;
        EXPECT_EQ(result->status, 403) << target;
        EXPECT_EQ(result->body.find("userLogin"), std::string::npos);
    }
    EXPECT_EQ(get("/admin/requests")->status, 200); // with the key
}

TEST_F(Routing, ItsFilesAreForItsUserAlone)
{
    call(appBase() + "/users/userLogin?format=xml&userName=demo%40quorvane.com&password=demo123");
    const QString log = dataDir() + QStringLiteral("/requests.log");
    EXPECT_EQ(QFileInfo(log).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther |
                                              QFileDevice::WriteGroup | QFileDevice::WriteOther),
              QFileDevice::Permissions());
    EXPECT_EQ(QFileInfo(dataDir()).permissions() & (QFileDevice::ReadOther | QFileDevice::ExeOther),
              QFileDevice::Permissions());
}

TEST_F(Routing, ASecondServerOnAPortInUseFails)
{
    DemoServerOptions options = this->options();
    options.port = port();
    QTemporaryDir otherData;
    options.dataDir = otherData.path();
    DemoServer second(options);
    EXPECT_THROW(second.start(), Failure);
    EXPECT_EQ(get("/res/download/quorvane_version.txt")->status, 200);
}

class RequestLog : public DemoServerTest
{
protected:
    void SetUp() override { startServer(); }
};

TEST_F(RequestLog, HoldsOneLinePerRequestWithTheRawTarget)
{
    const char* const targets[] = {
        "/quorvane2/users/userLogin?format=xml&userName=demo%40quorvane.com&password=demo123",
        "/quorvane2/users/userLogin?format=xml&userName=%C3%DC&password=%26",
        "/nowhere?x=1",
        "/res/download/quorvane_version.txt?v=01.00.201205281429",
    };
    QByteArray expected;
    for (const char* target : targets) {
        ASSERT_TRUE(get(target));
        expected += QByteArray("GET ") + target + '\n';
    }
    const httplib::Result log = get("/admin/requests");
    ASSERT_TRUE(log);
    EXPECT_EQ(log->status, 200);
    expected += "GET /admin/requests\n";
    EXPECT_EQ(QByteArray::fromStdString(log->body), expected);

    QFile file(QDir(dataDir()).filePath(QStringLiteral("requests.log")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), expected);
}

TEST_F(RequestLog, KeepsEarlierRunsAndLogsOtherMethodsToo)
{
    ASSERT_TRUE(get("/first"));
    restartServer();
    httplib::Client client("127.0.0.1", port());
    const httplib::Result posted = client.Post("/quorvane2/users/userLogin", "x", "text/plain");
    ASSERT_TRUE(posted);
    EXPECT_GE(posted->status, 400);
    EXPECT_EQ(get("/admin/requests")->body,
              "GET /first\nPOST /quorvane2/users/userLogin\nGET /admin/requests\n");
}

} // namespace

} // namespace quorvane
