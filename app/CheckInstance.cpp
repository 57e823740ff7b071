#include "app/CheckInstance.h"

#include "config/ConfigStore.h"
#include "platform/InstanceLock.h"
#include "update/DistributionPackage.h"
#include "update/SelfUpdate.h"
#include "update/UpdateNoticeBox.h"

namespace quorvane {

bool checkInstance(InstanceLock& lock)
{
    if (!lock.acquire()) {
        const qint64 handle = ConfigStore().getMainHandle();
        if (handle != 0)
            InstanceLock::sendShowRequest(QString::fromLatin1(kInstanceName), handle);
        return false;
    }
    // The package manager owns a packaged client's files: nothing else replaces them.
    if (isDistributionPackage())
        return true;
    // A newer version staged by an earlier run replaces this one before anything else happens.
    // When it cannot (no administrator rights), the user hears of it once and the client starts.
    SelfUpdate upgrade;
    upgrade.setNoticeReport(showUpdateNotice);
    if (upgrade.applyPendingUpgrade()) {
        lock.release(); // the updater waits for this lock
        return false;
    }
    return true;
}

} // namespace quorvane
