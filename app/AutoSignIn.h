#pragma once

#include <QString>

namespace quorvane {

class Session;
struct SavedLogin;

// What an automatic sign-in came to.
struct AutoSignInResult
{
    enum Kind
    {
        SignedIn,
        // The server refused the login, or answered with something a sign-in cannot use: the
        // login window lets the user try.
        Refused,
        // The server could not be reached (no network yet, name not resolved, no answer): the
        // client tries again later.
        Unreachable,
    };
    Kind kind = Refused;
    // The server's reason for a refusal, when it gave one.
    QString message;
};

// Signs in from the saved login without asking the user. A login saved from the microblog
// sign-in goes to the microblog sign-in, any other to the account sign-in. Shows nothing, so it
// may run on any thread.
AutoSignInResult signInAutomatically(Session& session, const SavedLogin& saved);

} // namespace quorvane
