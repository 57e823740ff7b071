#include "ui/main/AutoSignIn.h"

#include "config/SelvorConfigInfo.h"
#include "platform/Failure.h"
#include "server/DataModule.h"

bool signInAutomatically(const SelvorConfigInfo& saved)
{
    if (!DMod)
        return false;
    try {
        // A microblog account is unknown to the account sign-in; sending its password there
        // would only be refused, every time.
        const APILoginResponse reply = saved.userType == 1 ? DMod->weiboLogin(saved.userName, saved.password)
                                                           : DMod->login(saved.userName, saved.password);
        return reply.code == 0;
    } catch (const TFailure&) {
        return false;
    }
}
