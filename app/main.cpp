#include "app/Client.h"
#include "app/StartUp.h"

int main(int argc, char** argv)
{
    return quorvane::runClientProgram(argc, argv, quorvane::ClientOptions{});
}
