#pragma once

#include <QString>

namespace quorvane {

// Real minisign signatures for tests, made with Debian's minisign program.

// The demo key pair this build trusts (configured with -DQUORVANE_DEMO_UPDATE_KEY=ON): the path of
// its secret key and its public key's base64 line; both empty when the build has none.
QString demoSecretKey();
QString demoPublicKey();

// Makes an unprotected key pair "minisign.pub" and "minisign.key" in `dir` (created if missing),
// replacing one that is there.
bool makeMinisignKeyPair(const QString& dir);

// The base64 line of a public key file, as a build setting holds it; empty when unreadable.
QString minisignPublicKeyLine(const QString& publicKeyFile);

// Signs `file` into "<file>.minisig" (hashed, as update packages are) with `trustedComment`.
// False when there is no secret key or minisign fails.
bool signWithMinisign(const QString& file, const QString& trustedComment,
                      const QString& secretKey = demoSecretKey());

} // namespace quorvane
