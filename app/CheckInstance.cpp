#include "app/CheckInstance.h"

#include "config/SelvorConfig.h"
#include "platform/InstanceLock.h"
#include "update/UnpackFailureBox.h"
#include "update/Upgrade.h"

bool checkInstance(TInstanceLock& lock)
{
    if (!lock.acquire()) {
        const qint64 handle = TSelvorConfig().getMainHandle();
        if (handle != 0)
            TInstanceLock::sendShowRequest(QString::fromLatin1(kInstanceName), handle);
        return false;
    }
    // A newer version staged by an earlier run replaces this one before anything else happens.
    // When it cannot (no administrator rights), the user hears of it once and the client starts.
    TUpgrade upgrade;
    upgrade.setNoticeReport(showUnpackFailureBox);
    if (upgrade.applyPendingUpgrade()) {
        lock.release(); // the updater waits for this lock
        return false;
    }
    return true;
}
