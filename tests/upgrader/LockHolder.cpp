#include "platform/InstanceLock.h"

#include <QCoreApplication>
#include <cstdio>
#include <iostream>
#include <string>

// A stand-in for a running client: holds the client's single-instance lock until a line arrives
// on the standard input (or the input closes).
int main(int argc, char** argv)
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
