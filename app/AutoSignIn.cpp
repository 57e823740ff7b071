#include "app/AutoSignIn.h"

#include "config/SavedLogin.h"
#include "platform/Failure.h"
#include "server/RequestFailures.h"
#include "server/Session.h"

namespace quorvane {

AutoSignInResult signInAutomatically(Session& session, const SavedLogin& saved)
{
    try {
        // A microblog account is unknown to the account sign-in; sending its password there
        // would only be refused, every time.
        const LoginReply reply = saved.userType == 1 ? session.weiboLogin(saved.userName, saved.password)
                                                     : session.login(saved.userName, saved.password);
        if (reply.code == 0)
            return {AutoSignInResult::SignedIn, {}};
        return {AutoSignInResult::Refused, reply.msg};
    } catch (const ServerUnreachable&) {
        return {AutoSignInResult::Unreachable, {}};
    } catch (const Failure&) {
        return {AutoSignInResult::Refused, {}};
    }
}

} // namespace quorvane
