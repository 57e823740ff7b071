#include "platform/InstanceLock.h"

#include <QCoreApplication>
#include <cstdio>
#include <iostream>
#include <string>

namespace quorvane {

// A stand-in for a running client: holds the client's single-instance lock until a line arrives
// on the standard input (or the input closes).

static int programMain(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    InstanceLock lock(QStringLiteral("quorvane_client.exe"));
    if (!lock.acquire())
        return 1;
    std::fputs("locked\n", stdout);
    std::fflush(stdout);
    std::string line;
    std::getline(std::cin, line);
    return 0;
}

} // namespace quorvane

int main(int argc, char** argv)
{
    return quorvane::programMain(argc, argv);
}
