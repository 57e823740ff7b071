#include "app/NetworkWatch.h"

#include <QNetworkInformation>

namespace quorvane {

NetworkWatch::NetworkWatch(QObject* parent) : QObject(parent)
{
    if (!QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability))
        return;
    connect(QNetworkInformation::instance(), &QNetworkInformation::reachabilityChanged, this,
            [this](QNetworkInformation::Reachability reachability) {
                if (reachability != QNetworkInformation::Reachability::Disconnected &&
                    reachability != QNetworkInformation::Reachability::Unknown)
                    emit networkCameBack();
            });
}

NetworkWatch::~NetworkWatch() = default;

} // namespace quorvane
