#include "tests/support/SavedLogin.h"

#include "config/ConfigStore.h"

namespace quorvane {

void saveLogin(const QString& userName, const QString& password, bool rememberPass, bool autoLogin,
               int userType)
{
    SavedLogin info;
    info.userName = userName;
    info.password = password;
    info.rememberPass = rememberPass;
    info.autoLogin = autoLogin;
    info.userType = userType;
    ConfigStore().saveConfigInfo(info);
}

} // namespace quorvane
