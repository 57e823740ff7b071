#pragma once

#include <QString>

// Real minisign signatures for tests, made with Debian's minisign program.

// Makes an unprotected key pair "minisign.pub" and "minisign.key" in `dir` (created if missing).
bool MakeMinisignKeyPair(const QString& dir);

// The base64 line of a public key file, as a build setting holds it; empty when unreadable.
QString MinisignPublicKeyLine(const QString& publicKeyFile);

// Signs `file` into "<file>.minisig" with `trustedComment`.
bool SignWithMinisign(const QString& file, const QString& trustedComment, const QString& secretKey);

// The secret key of the demo key pair this build trusts (configured with
// -DQUORVANE_DEMO_UPDATE_KEY=ON); empty when the build has none.
QString DemoSecretKey();
