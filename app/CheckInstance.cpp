#include "app/CheckInstance.h"

#include "config/SelvorConfig.h"
#include "platform/InstanceLock.h"

bool CheckInstance(TInstanceLock& lock)
{
    if (!lock.Acquire()) {
        const qint64 handle = TSelvorConfig().GetMainHandle();
        if (handle != 0)
            TInstanceLock::SendShowRequest(QString::fromLatin1(kInstanceName), handle);
        return false;
    }
    return true;
}
