#include "server/HttpClient.h"
#include "platform/Failure.h"
#include "server/RequestFailures.h"
#include "tests/server/HangingUpPort.h"
#include "tests/server/RefusingPort.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/TempProfile.h"

#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

namespace quorvane {

namespace {

constexpr qint64 kMiB = 1024 * 1024;

// Runs `request` and returns the failure's message; fails the test when nothing was raised.
QString failureOf(const std::function<void()>& request)
{
    try {
        request();
    } catch (const Failure& failure) {
        return failure.message();
    }
    ADD_FAILURE() << "no failure was raised";
    return {};
}

// A body of `size` bytes in chunks, so that no length is announced up front.
void serveChunked(LoopbackServer& server, const std::string& path, qint64 size)
{
    server.get(path, [size](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider("text/plain", [size](size_t offset, httplib::DataSink& sink) {
            if (static_cast<qint64>(offset) >= size) {
                sink.done();
                return true;
            }
            const std::string chunk(static_cast<size_t>(std::min<qint64>(64 * 1024, size - offset)), 'x');
            return sink.write(chunk.data(), chunk.size());
        });
    });
}

TEST(HttpClient, GetReturnsTheBodyByteForByte)
{
    LoopbackServer server;
    const std::string body("\x00\x01\xff<responsed/>\r\n", 16);
    server.reply("/data", body, 200, "application/octet-stream");
    HttpClient client;
    EXPECT_EQ(client.get(server.url() + "/data"),
              QByteArray(body.data(), static_cast<qsizetype>(body.size())));
}

TEST(HttpClient, KeepsTheConnectionForTheNextRequest)
{
    LoopbackServer server;
    server.reply("/a", "one");
    HttpClient client;
    client.get(server.url() + "/a");
    client.get(server.url() + "/a");
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[0].remotePort, requests[1].remotePort);
}

struct FailureCase
{
    const char* name;
    std::function<void(LoopbackServer&)> serve;
    const char* path; // on the loopback server; a full URL when it has a scheme
    HttpLimits limits;
    const char* expected; // part of the failure's message
};

HttpLimits limits(qint64 maxBodyBytes)
{
    HttpLimits limits;
    limits.maxBodyBytes = maxBodyBytes;
    return limits;
}

TEST(HttpClient, FailuresNameWhatHappened)
{
    const auto reply = [](const std::string& body, int status) {
        return [=](LoopbackServer& server) { server.reply("/r", body, status, "text/html"); };
    };
    const FailureCase cases[] = {
        {"not found", reply("<html>gone</html>", 404), "/r", {}, "404"},
        {"server error", reply("oops", 500), "/r", {}, "HTTP/1.1 500 Internal Server Error"},
        {"no route", [](LoopbackServer&) {}, "/nothing", {}, "404"},
        {"redirect",
         [](LoopbackServer& server) {
             server.get("/r", [&server](const httplib::Request&, httplib::Response& response) {
                 response.set_redirect(server.url().toStdString() + "/elsewhere");
             });
         },
         "/r",
         {},
         "redirects are not followed"},
        {"1 MiB and one byte, length announced",
         reply(std::string(kMiB + 1, 'x'), 200),
         "/r",
         {},
         "larger than 1 MiB"},
        {"1 MiB and one byte, chunked",
         [](LoopbackServer& server) { serveChunked(server, "/r", kMiB + 1); },
         "/r",
         {},
         "larger than 1 MiB"},
        {"over a small limit", reply("eleven byte", 200), "/r", limits(10), "larger than 10 bytes"},
        {"other scheme", [](LoopbackServer&) {}, "ftp://127.0.0.1/r", {}, "Only http and https"},
        {"local file", [](LoopbackServer&) {}, "file:///etc/hostname", {}, "Only http and https"},
    };
    for (const FailureCase& row : cases) {
        SCOPED_TRACE(row.name);
        LoopbackServer server;
        row.serve(server);
        const QString path = QString::fromLatin1(row.path);
        const QString url = (path.contains(QLatin1String("://")) ? path : server.url() + path) +
                            QStringLiteral("?userName=u&password=secret");
        HttpClient client(row.limits);
        const QString message = failureOf([&] { client.get(url); });
        EXPECT_TRUE(message.contains(QLatin1String(row.expected))) << message.toStdString();
        // Messages reach the diagnostics log: the query with the password must not.
        EXPECT_FALSE(message.contains(QLatin1String("secret"))) << message.toStdString();
        EXPECT_FALSE(server.targets().contains(QStringLiteral("/elsewhere")));
    }
}

TEST(HttpClient, RepliesUpToTheLimitAreAccepted)
{
    LoopbackServer server;
    server.reply("/exact", std::string(kMiB, 'x'));
    serveChunked(server, "/chunked", kMiB);
    HttpClient client;
    EXPECT_EQ(client.get(server.url() + "/exact").size(), kMiB);
    EXPECT_EQ(client.get(server.url() + "/chunked").size(), kMiB);
}

TEST(HttpClient, RefusedConnectionFails)
{
    RefusingPort port;
    HttpClient client;
    const QString message = failureOf([&] { client.get(port.url() + "/x"); });
    EXPECT_TRUE(message.startsWith(QLatin1String("Could not connect to 127.0.0.1:")))
        << message.toStdString();
}

// What the user is told depends on whether the server answered at all: a server that gave no
// answer raises ServerUnreachable, one that answered with something unusable a plain Failure.
TEST(HttpClient, AServerThatGaveNoAnswerIsUnreachable)
{
    LoopbackServer server;
    server.stall("/silent");
    server.reply("/missing", "<html>gone</html>", 404, "text/html");
    server.reply("/broken", "oops", 500, "text/html");
    server.reply("/huge", std::string(kMiB + 1, 'x'));
    RefusingPort refusing;
    HangingUpPort hangingUp;
    const struct
    {
        const char* name;
        QString url;
        bool unreachable;
    } cases[] = {
        {"a refused connection", refusing.url() + "/x", true},
        {"a name that does not resolve", QStringLiteral("http://quorvane-nowhere.invalid/x"), true},
        {"a connection closed before the reply", hangingUp.url() + "/x", true},
        {"no reply in time", server.url() + "/silent", true},
        {"not found", server.url() + "/missing", false},
        {"a server error", server.url() + "/broken", false},
        {"a reply over the limit", server.url() + "/huge", false},
    };
    HttpLimits limits;
    limits.connectTimeoutMs = 3000;
    limits.totalTimeoutMs = 500;
    for (const auto& c : cases) {
        HttpClient client(limits);
        bool unreachable = false;
        bool failed = false;
        try {
            client.get(c.url);
        } catch (const ServerUnreachable&) {
            unreachable = failed = true;
        } catch (const Failure&) {
            failed = true;
        }
        EXPECT_TRUE(failed) << c.name;
        EXPECT_EQ(unreachable, c.unreachable) << c.name;
    }
}

TEST(HttpClient, ServerThatNeverAnswersFailsAfterTheTimeLimit)
{
    LoopbackServer server;
    server.stall("/slow");
    HttpLimits limits;
    limits.totalTimeoutMs = 300;
    HttpClient client(limits);
    const QString message = failureOf([&] { client.get(server.url() + "/slow"); });
    EXPECT_TRUE(message.contains(QLatin1String("within 300 ms"))) << message.toStdString();
}

TEST(HttpClient, TransferThatCrawlsFailsAtTheLowSpeedLimit)
{
    LoopbackServer server;
    auto finished = std::make_shared<std::atomic<bool>>(false);
    server.get("/crawl", [finished](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider(
            "text/plain", [finished](size_t offset, httplib::DataSink& sink) {
                if (offset == 0)
                    return sink.write("x", 1);
                // Nothing more until the client has given up.
                for (int i = 0; i < 1000 && !*finished; ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                return false;
            });
    });
    HttpLimits limits;
    limits.lowSpeedBytesPerSec = 100;
    limits.lowSpeedSeconds = 1;
    limits.totalTimeoutMs = 0;
    HttpClient client(limits);
    const QString message = failureOf([&] { client.get(server.url() + "/crawl"); });
    *finished = true;
    EXPECT_TRUE(message.contains(QLatin1String("slower than 100 bytes per second"))) << message.toStdString();
}

TEST(HttpClient, AbortEndsTheRunningRequestAndLaterOnes)
{
    LoopbackServer server;
    server.stall("/slow");
    server.reply("/ok", "fine");
    HttpClient client; // the default 30 s limit: only the abort can end the request early
    QString message;
    std::thread requester([&] { message = failureOf([&] { client.get(server.url() + "/slow"); }); });
    ASSERT_TRUE(server.waitForRequests(1));
    client.abort();
    requester.join();
    EXPECT_TRUE(message.contains(QLatin1String("was cancelled"))) << message.toStdString();

    const QString later = failureOf([&] { client.get(server.url() + "/ok"); });
    EXPECT_TRUE(later.contains(QLatin1String("was cancelled"))) << later.toStdString();
    EXPECT_EQ(server.requests().size(), 1);
}

class HttpClientToFile : public ::testing::Test
{
protected:
    QString target() const { return m_profile.tempDir() + QStringLiteral("/download.bin"); }

    TempProfile m_profile;
    LoopbackServer m_server;
};

TEST_F(HttpClientToFile, StreamsBodiesOfAnySize)
{
    // Three times the in-memory limit: a file target has none.
    serveChunked(m_server, "/big", 3 * kMiB);
    HttpClient client;
    client.getToFile(m_server.url() + "/big", target());
    QFile file(target());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    EXPECT_EQ(content.size(), 3 * kMiB);
    EXPECT_EQ(content.count('x'), 3 * kMiB);
}

// A file target has a limit of its own, so that a reply that never ends cannot fill the disk.
TEST_F(HttpClientToFile, BodiesOverTheFileLimitAreRefusedAndRemoved)
{
    serveChunked(m_server, "/endless", 64 * kMiB);
    m_server.reply("/announced", std::string(5000, 'x'), 200, "application/octet-stream");
    HttpLimits limits;
    limits.maxFileBytes = 4096;
    for (const char* path : {"/endless", "/announced"}) {
        SCOPED_TRACE(path);
        HttpClient client(limits);
        const QString message = failureOf([&] { client.getToFile(m_server.url() + path, target()); });
        EXPECT_TRUE(message.contains(QLatin1String("larger than 4096 bytes"))) << message.toStdString();
        EXPECT_FALSE(QFile::exists(target()));
    }
    // The in-memory limit does not apply to files.
    limits.maxBodyBytes = 10;
    HttpClient client(limits);
    m_server.reply("/small", std::string(4096, 'y'), 200, "application/octet-stream");
    client.getToFile(m_server.url() + "/small", target());
    EXPECT_EQ(QFileInfo(target()).size(), 4096);
}

TEST_F(HttpClientToFile, FailureLeavesNoPartialFile)
{
    m_server.reply("/missing", "not here", 404);
    // Promises 1000 bytes, sends 10 and drops the connection.
    m_server.get("/broken", [](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(1000, "application/octet-stream",
                                      [](size_t offset, size_t, httplib::DataSink& sink) {
                                          if (offset == 0)
                                              return sink.write("0123456789", 10);
                                          return false;
                                      });
    });
    m_server.stall("/slow");
    HttpLimits limits;
    limits.totalTimeoutMs = 300;
    for (const char* path : {"/missing", "/broken", "/slow"}) {
        SCOPED_TRACE(path);
        TempProfile::writeFile(target(), "old content");
        HttpClient client(limits);
        failureOf([&] { client.getToFile(m_server.url() + path, target()); });
        EXPECT_FALSE(QFile::exists(target()));
    }
}

TEST_F(HttpClientToFile, UnwritableTargetFailsNamingTheFile)
{
    m_server.reply("/x", "data");
    const QString target = m_profile.tempDir() + QStringLiteral("/no/such/folder/file.bin");
    HttpClient client;
    const QString message = failureOf([&] { client.getToFile(m_server.url() + "/x", target); });
    EXPECT_TRUE(message.contains(target)) << message.toStdString();
}

} // namespace

} // namespace quorvane
