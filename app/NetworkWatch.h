#pragma once

#include <QObject>

namespace quorvane {

// Tells when the system reports that the network has come back, through Qt's network
// information where a backend for the system's network manager is present; says nothing where
// there is none.
class NetworkWatch final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NetworkWatch)

public:
    explicit NetworkWatch(QObject* parent = nullptr);
    ~NetworkWatch() override;

signals:
    void networkCameBack();
};

} // namespace quorvane
