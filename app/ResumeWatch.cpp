#include "app/ResumeWatch.h"

#include <QDBusConnection>

namespace quorvane {

namespace {

const QString kLogin1Service = QStringLiteral("org.freedesktop.login1");
const QString kLogin1Path = QStringLiteral("/org/freedesktop/login1");
const QString kLogin1Manager = QStringLiteral("org.freedesktop.login1.Manager");

} // namespace

ResumeWatch::ResumeWatch(QObject* parent) : QObject(parent)
{
    listenOn({}, true, {});
}

ResumeWatch::ResumeWatch(const QString& busAddress, QObject* parent) : QObject(parent)
{
    listenOn(QStringLiteral("quorvane-resume-%1").arg(reinterpret_cast<quintptr>(this)), false, busAddress);
}

ResumeWatch::~ResumeWatch()
{
    if (!m_connectionName.isEmpty())
        QDBusConnection::disconnectFromBus(m_connectionName);
}

void ResumeWatch::listenOn(const QString& connectionName, bool systemBus, const QString& busAddress)
{
    QDBusConnection bus =
        systemBus ? QDBusConnection::systemBus() : QDBusConnection::connectToBus(busAddress, connectionName);
    if (!systemBus)
        m_connectionName = connectionName;
    if (!bus.isConnected())
        return;
    m_listening = bus.connect(kLogin1Service, kLogin1Path, kLogin1Manager, QStringLiteral("PrepareForSleep"),
                              this, SLOT(onPrepareForSleep(bool)));
}

void ResumeWatch::onPrepareForSleep(bool sleeping)
{
    // Sent with true before the machine sleeps and with false once it is awake again.
    if (!sleeping)
        emit resumed();
}

} // namespace quorvane
