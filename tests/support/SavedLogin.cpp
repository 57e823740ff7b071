#include "tests/support/SavedLogin.h"

#include "config/SelvorConfig.h"

void SaveLogin(const QString& userName, const QString& password, bool rememberPass, bool autoLogin,
               int userType)
{
    SelvorConfigInfo info;
    info.UserName = userName;
    info.Password = password;
    info.RememberPass = rememberPass;
    info.AutoLogin = autoLogin;
    info.UserType = userType;
    TSelvorConfig().SaveConfigInfo(info);
}
