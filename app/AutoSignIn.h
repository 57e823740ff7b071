#pragma once

namespace quorvane {

class Session;
struct SavedLogin;

// Signs in from the saved login without asking the user; true when `session` is signed in. A
// login saved from the microblog sign-in goes to the microblog sign-in, any other to the account
// sign-in. A refusal or a server that cannot be reached gives false without a message: the
// login window then lets the user try.
bool signInAutomatically(Session& session, const SavedLogin& saved);

} // namespace quorvane
