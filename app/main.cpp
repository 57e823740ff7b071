#include "app/Application.h"
#include "app/CheckInstance.h"
#include "app/ErrorDisplay.h"
#include "app/StartUp.h"
#include "platform/InstanceLock.h"

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    TInstanceLock lock(QString::fromLatin1(kInstanceName));
    try {
        if (CheckInstance(lock))
            RunClient(app, lock);
    } catch (...) {
        ShowCurrentException();
    }
    return 0;
}
