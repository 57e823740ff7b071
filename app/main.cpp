#include "app/Application.h"
#include "app/CheckInstance.h"
#include "app/ErrorDisplay.h"
#include "app/StartUp.h"
#include "config/DataFolder.h"
#include "platform/InstanceLock.h"
#include "ui/chrome/BrowserProfile.h"

int main(int argc, char** argv)
{
    // Pages reach the client through "vemtraclient://" URLs; the engine must know the scheme
    // before the application object exists.
    registerClientUrlScheme();
    Application app(argc, argv);
    secureDataFolder();
    InstanceLock lock(QString::fromLatin1(kInstanceName));
    try {
        if (checkInstance(lock))
            runClient(app, lock);
    } catch (...) {
        showCurrentException();
    }
    return 0;
}
