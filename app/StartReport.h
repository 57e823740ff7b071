#pragma once

#include <QObject>

namespace quorvane {

// Tells the updater that installed this program that it came up, once the first window of the
// run is on screen. Does nothing when no updater started the client.
class StartReport final : public QObject
{
    Q_OBJECT

public:
    explicit StartReport(QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace quorvane
