#include "ui/main/AutoSignIn.h"

#include "config/SelvorConfigInfo.h"
#include "platform/Failure.h"
#include "server/DataModule.h"

bool SignInAutomatically(const SelvorConfigInfo& saved)
{
    if (!DMod)
        return false;
    try {
        // A microblog account is unknown to the account sign-in; sending its password there
        // would only be refused, every time.
        const APILoginResponse reply = saved.UserType == 1 ? DMod->WeiboLogin(saved.UserName, saved.Password)
                                                           : DMod->Login(saved.UserName, saved.Password);
        return reply.code == 0;
    } catch (const TFailure&) {
        return false;
    }
}
