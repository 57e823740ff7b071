#pragma once

#include <QString>

namespace quorvane {

// The reply record of the sign-in operations. The server answers code 0 for a signed-in account,
// 1 for a wrong user name or password and 3 for an account awaiting approval; -1 stands for a
// code that is not a number.
struct LoginReply
{
    int code = 0;
    QString token; // filled on code 0
    QString role;  // account sign-in only
    QString msg;   // filled on any other code
};

} // namespace quorvane
