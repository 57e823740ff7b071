#include "tests/support/SavedLogin.h"

#include "config/SelvorConfig.h"

void saveLogin(const QString& userName, const QString& password, bool rememberPass, bool autoLogin,
               int userType)
{
    SelvorConfigInfo info;
    info.userName = userName;
    info.password = password;
    info.rememberPass = rememberPass;
    info.autoLogin = autoLogin;
    info.userType = userType;
    TSelvorConfig().saveConfigInfo(info);
}
