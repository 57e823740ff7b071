#pragma once

#include <QString>

// The saved login; the password here is plain text.
struct SelvorConfigInfo
{
    QString UserName;
    QString Password;
    bool RememberPass = true;
    bool AutoLogin = true;
    int UserType = 0; // 0 account (e-mail) login, 1 microblog login
};
