#include "app/Client.h"
#include "app/StartUp.h"
#include "update/DistributionPackage.h"

int main(int argc, char** argv)
{
    quorvane::ClientOptions options;
    // A packaged client leaves its updates to the system's package manager.
    options.poller.packageManaged = quorvane::isDistributionPackage();
    return quorvane::runClientProgram(argc, argv, options);
}
