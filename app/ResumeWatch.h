#pragma once

#include <QObject>
#include <QString>

namespace quorvane {

// Tells when the machine has woken from suspend, from the login manager's PrepareForSleep signal
// on the system bus (systemd-logind, elogind); says nothing where there is no such bus.
class ResumeWatch final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ResumeWatch)

public:
    // Listens on the system bus.
    explicit ResumeWatch(QObject* parent = nullptr);
    // Listens on the bus at `busAddress` (tests run a bus of their own).
    ResumeWatch(const QString& busAddress, QObject* parent);
    ~ResumeWatch() override;

    // True when the signal can reach this object.
    bool listening() const { return m_listening; }

signals:
    void resumed();

private slots:
    void onPrepareForSleep(bool sleeping);

private:
    void listenOn(const QString& connectionName, bool systemBus, const QString& busAddress);

    QString m_connectionName;
    bool m_listening = false;
};

} // namespace quorvane
