#include "app/Client.h"
#include "app/StartUp.h"

int main(int argc, char** argv)
{
    return runClientProgram(argc, argv, ClientOptions{});
}
