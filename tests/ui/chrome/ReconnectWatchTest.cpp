#include "ui/chrome/ReconnectWatch.h"
#include "tests/support/TestApplication.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <gtest/gtest.h>

namespace quorvane {

namespace {

using namespace std::chrono_literals;

// A loopback port on which nothing listens until the test says so.
quint16 freePort()
{
    QTcpServer probe;
    EXPECT_TRUE(probe.listen(QHostAddress::LocalHost));
    return probe.serverPort();
}

QUrl addressOn(quint16 port)
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1/news").arg(port));
}

TEST(ReconnectWatch, WaitsLongerWhileTheServerIsAwayAndReportsWhenItAccepts)
{
    testApp();
    const quint16 port = freePort();
    ReconnectWatch watch(20ms, 160ms);
    int reports = 0;
    QObject::connect(&watch, &ReconnectWatch::reachable, [&] { ++reports; });

    watch.watch(addressOn(port));
    ASSERT_TRUE(waitUntil([&] { return watch.pause() == 160ms; }));
    EXPECT_TRUE(watch.isWatching());
    EXPECT_EQ(reports, 0);

    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, port));
    ASSERT_TRUE(waitUntil([&] { return reports > 0; }));
    EXPECT_EQ(reports, 1);
    EXPECT_FALSE(watch.isWatching());

    // The try only connected: it closes again without a byte.
    ASSERT_TRUE(waitUntil([&] { return server.hasPendingConnections(); }));
    QTcpSocket* accepted = server.nextPendingConnection();
    QByteArray received;
    ASSERT_TRUE(waitUntil([&] {
        received += accepted->readAll();
        return accepted->state() == QAbstractSocket::UnconnectedState;
    }));
    EXPECT_EQ(received, QByteArray());
}

TEST(ReconnectWatch, StoppingKeepsThePauseForTheSameServerOnly)
{
    testApp();
    const quint16 port = freePort();
    ReconnectWatch watch(20ms, 160ms);
    EXPECT_FALSE(watch.isWatching()) << "nothing runs before a watch";

    watch.watch(addressOn(port));
    ASSERT_TRUE(waitUntil([&] { return watch.pause() >= 80ms; }));
    watch.stop();
    EXPECT_FALSE(watch.isWatching());
    const auto reached = watch.pause();

    const struct
    {
        const char* what;
        QUrl url;
        bool keepsPause;
    } cases[] = {
        {"the same server, another path", QUrl(QStringLiteral("http://127.0.0.1:%1/other?x=1").arg(port)),
         true},
        {"another port", addressOn(freePort()), false},
    };
    for (const auto& c : cases) {
        watch.watch(c.url);
        EXPECT_TRUE(watch.isWatching()) << c.what;
        EXPECT_EQ(watch.pause() == reached, c.keepsPause) << c.what;
        watch.stop();
    }
    watch.reset();
    EXPECT_EQ(watch.pause(), 20ms);
    EXPECT_FALSE(watch.isWatching());
}

} // namespace

} // namespace quorvane
