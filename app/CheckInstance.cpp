#include "app/CheckInstance.h"

#include "config/SelvorConfig.h"
#include "platform/InstanceLock.h"
#include "update/UnpackFailureBox.h"
#include "update/Upgrade.h"

bool CheckInstance(TInstanceLock& lock)
{
    if (!lock.Acquire()) {
        const qint64 handle = TSelvorConfig().GetMainHandle();
        if (handle != 0)
            TInstanceLock::SendShowRequest(QString::fromLatin1(kInstanceName), handle);
        return false;
    }
    // A newer version staged by an earlier run replaces this one before anything else happens.
    // When it cannot (no administrator rights), the user hears of it once and the client starts.
    TUpgrade upgrade;
    upgrade.SetNoticeReport(ShowUnpackFailureBox);
    if (upgrade.ApplyPendingUpgrade()) {
        lock.Release(); // the updater waits for this lock
        return false;
    }
    return true;
}
