#pragma once

#include <QString>

namespace quorvane {

// The saved login; the password here is plain text.
struct SavedLogin
{
    QString userName;
    QString password;
    bool rememberPass = true;
    bool autoLogin = true;
    int userType = 0; // 0 account (e-mail) login, 1 microblog login
};

} // namespace quorvane
