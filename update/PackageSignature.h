#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>

namespace quorvane {

// Update packages are signed with minisign (Ed25519 over the BLAKE2b-512 hash of the file). The
// download server publishes the detached signature beside the package; its trusted comment is
// "version:" followed by the 18-character version the package installs.

// A signature file is a few hundred bytes; a longer one is no signature.
inline constexpr qsizetype kMaxSignatureBytes = 4096;

// What a signature check found.
struct SignatureVerdict
{
    QString error;   // empty when the signature holds; otherwise why not, for the debug log
    QString version; // the version named by the trusted comment, when the signature holds
    bool ok() const { return error.isEmpty(); }
};

// Checks the package at `packagePath` against `signatureText` (the whole ".minisig" file) and
// `publicKey` (minisign's public key: the base64 line, or the whole ".pub" file). The signature
// must hold for the file's bytes and the trusted comment, the trusted comment must be
// "version:" + an 18-character version, and that version must be newer than this build's own
// CLIENT_VERSION (an old signed package cannot be replayed). An empty or malformed key fails.
// `abort`, when given, is checked between blocks of the file and fails the check once set.
SignatureVerdict verifyPackageSignature(const QString& packagePath, const QByteArray& signatureText,
                                        const QString& publicKey, const std::atomic<bool>* abort = nullptr);

// The version of a trusted comment "version:01.00.201212101200", or empty when it has another form.
QString signedVersion(const QString& trustedComment);

} // namespace quorvane
