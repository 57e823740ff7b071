#include "app/ResumeWatch.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace quorvane {

namespace {

// A bus of the test's own (dbus-daemon), on which the test plays the login manager.
class PrivateBus final
{
public:
    PrivateBus()
    {
        m_daemon.start(
            QStringLiteral("dbus-daemon"),
            {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
        if (m_daemon.waitForStarted(10000) && m_daemon.waitForReadyRead(10000))
            m_address = QString::fromLatin1(m_daemon.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("login-manager"));
        m_daemon.kill();
        m_daemon.waitForFinished(5000);
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    QString address() const { return m_address; }

    // The connection that owns the login manager's name.
    QDBusConnection loginManager() const
    {
        QDBusConnection bus = QDBusConnection::connectToBus(m_address, QStringLiteral("login-manager"));
        bus.registerService(QStringLiteral("org.freedesktop.login1"));
        return bus;
    }

private:
    QProcess m_daemon;
    QString m_address;
};

void sendPrepareForSleep(QDBusConnection bus, bool sleeping)
{
    QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                                     QStringLiteral("org.freedesktop.login1.Manager"),
                                                     QStringLiteral("PrepareForSleep"));
    signal << sleeping;
    bus.send(signal);
}

TEST(ResumeWatch, TellsWhenTheMachineHasWokenUp)
{
    int argc = 1;
    char name[] = "app_resume_watch_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
        GTEST_SKIP() << "dbus-daemon is missing: run tools/install-deps";
    PrivateBus bus;
    ASSERT_FALSE(bus.address().isEmpty()) << "the private bus did not start";
    QDBusConnection manager = bus.loginManager();
    ASSERT_TRUE(manager.isConnected());

    ResumeWatch watch(bus.address(), nullptr);
    ASSERT_TRUE(watch.listening());
    QSignalSpy resumed(&watch, &ResumeWatch::resumed);

    // Going to sleep says nothing; waking up does, once.
    sendPrepareForSleep(manager, true);
    EXPECT_FALSE(resumed.wait(500));
    sendPrepareForSleep(manager, false);
    ASSERT_TRUE(resumed.wait(5000));
    EXPECT_FALSE(resumed.wait(300));
    EXPECT_EQ(resumed.size(), 1);
}

TEST(ResumeWatch, StaysQuietWithoutABus)
{
    int argc = 1;
    char name[] = "app_resume_watch_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    const ResumeWatch watch(QStringLiteral("unix:path=/nonexistent/quorvane-no-bus"), nullptr);
    EXPECT_FALSE(watch.listening());
}

} // namespace

} // namespace quorvane
