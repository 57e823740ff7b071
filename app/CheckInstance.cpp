#include "app/CheckInstance.h"

#include "config/SelvorConfig.h"
#include "platform/InstanceLock.h"
#include "update/Upgrade.h"

bool CheckInstance(TInstanceLock& lock)
{
    if (!lock.Acquire()) {
        const qint64 handle = TSelvorConfig().GetMainHandle();
        if (handle != 0)
            TInstanceLock::SendShowRequest(QString::fromLatin1(kInstanceName), handle);
        return false;
    }
    // A newer version unpacked by an earlier run replaces this one before anything else happens.
    if (TUpgrade().ApplyPendingUpgrade()) {
        lock.Release(); // the updater waits for this lock
        return false;
    }
    return true;
}
