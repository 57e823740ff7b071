#include "update/PackageSignature.h"

#include "update/VersionCompare.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <sodium.h>

namespace quorvane {

namespace {

// minisign's layout: a public key is "Ed" + key id + Ed25519 key; a signature line is the
// algorithm + key id + Ed25519 signature. "ED" signs the BLAKE2b-512 hash of the file.
constexpr int kAlgorithmBytes = 2;
constexpr int kKeyIdBytes = 8;
constexpr int kPublicKeyBytes = kAlgorithmBytes + kKeyIdBytes + crypto_sign_PUBLICKEYBYTES;
constexpr int kSignatureBytes = kAlgorithmBytes + kKeyIdBytes + crypto_sign_BYTES;
constexpr qint64 kBlockBytes = 1 << 16;

const QByteArray kUntrustedPrefix = "untrusted comment: ";
const QByteArray kTrustedPrefix = "trusted comment: ";

// Strict base64 of exactly `size` bytes; empty otherwise. Qt's decoder also takes text without
// its padding or with stray low bits, so only the text minisign itself writes is let through.
QByteArray decodeBase64(const QByteArray& text, int size)
{
    const auto decoded = QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != size || decoded.decoded.toBase64() != text)
        return {};
    return decoded.decoded;
}

// The key's bytes from the bare base64 line or a whole ".pub" file.
QByteArray decodePublicKey(const QString& publicKey)
{
    QStringList lines = publicKey.trimmed().split(QLatin1Char('\n'));
    QString line = lines.last().trimmed();
    if (lines.size() > 2 ||
        (lines.size() == 2 && !lines.first().startsWith(QLatin1String("untrusted comment:"))))
        return {};
    const QByteArray key = decodeBase64(line.toLatin1(), kPublicKeyBytes);
    if (key.isEmpty() || !key.startsWith("Ed"))
        return {};
    return key;
}

bool initSodium()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

} // namespace

QString signedVersion(const QString& trustedComment)
{
    // Anchored at both ends: "$" alone would also accept a final line break.
    static const QRegularExpression form(
        QRegularExpression::anchoredPattern(QStringLiteral("version:\\s*([0-9]{2}\\.[0-9]{2}\\.[0-9]{12})")));
    const QRegularExpressionMatch match = form.match(trustedComment);
    return match.hasMatch() ? match.captured(1) : QString();
}

SignatureVerdict verifyPackageSignature(const QString& packagePath, const QByteArray& signatureText,
                                        const QString& publicKey, const std::atomic<bool>* abort)
{
    SignatureVerdict verdict;
    const auto fail = [&verdict](const QString& error) {
        verdict.error = error;
        verdict.version.clear();
        return verdict;
    };
    if (publicKey.trimmed().isEmpty())
        return fail(QStringLiteral("no update key is built in"));
    const QByteArray key = decodePublicKey(publicKey);
    if (key.isEmpty())
        return fail(QStringLiteral("the built-in update key is malformed"));
    if (!initSodium())
        return fail(QStringLiteral("the signature library cannot start"));

    if (signatureText.isEmpty())
        return fail(QStringLiteral("no signature"));
    if (signatureText.size() > kMaxSignatureBytes)
        return fail(QStringLiteral("the signature file is too large"));
    QList<QByteArray> lines = signatureText.split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (lines.size() != 4 || !lines[0].startsWith(kUntrustedPrefix) || !lines[2].startsWith(kTrustedPrefix))
        return fail(QStringLiteral("the signature is not in minisign's format"));
    const QByteArray signature = decodeBase64(lines[1], kSignatureBytes);
    const QByteArray trustedComment = lines[2].mid(kTrustedPrefix.size());
    const QByteArray globalSignature = decodeBase64(lines[3], crypto_sign_BYTES);
    if (signature.isEmpty() || globalSignature.isEmpty())
        return fail(QStringLiteral("the signature is not in minisign's format"));
    // "Ed" signs the file itself, which would have to be read whole into memory; only the
    // hashed kind is published.
    if (signature.startsWith("Ed"))
        return fail(QStringLiteral("the signature is of minisign's legacy kind, not the hashed one"));
    if (!signature.startsWith("ED"))
        return fail(QStringLiteral("the signature uses an unknown algorithm"));
    if (signature.mid(kAlgorithmBytes, kKeyIdBytes) != key.mid(kAlgorithmBytes, kKeyIdBytes))
        return fail(QStringLiteral("signed by another key"));
    const auto* keyBytes =
        reinterpret_cast<const unsigned char*>(key.constData()) + kAlgorithmBytes + kKeyIdBytes;

    // The package's hash, read block by block: a package may be large.
    QFile package(packagePath);
    if (!package.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("the package cannot be read: %1").arg(package.errorString()));
    crypto_generichash_state state;
    crypto_generichash_init(&state, nullptr, 0, crypto_generichash_BYTES_MAX);
    QByteArray block(kBlockBytes, Qt::Uninitialized);
    for (;;) {
        if (abort && *abort)
            return fail(QStringLiteral("aborted"));
        const qint64 count = package.read(block.data(), kBlockBytes);
        if (count < 0)
            return fail(QStringLiteral("the package cannot be read: %1").arg(package.errorString()));
        if (count == 0)
            break;
        crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(block.constData()),
                                  quint64(count));
    }
    unsigned char hash[crypto_generichash_BYTES_MAX];
    crypto_generichash_final(&state, hash, sizeof hash);

    const auto* signatureBytes =
        reinterpret_cast<const unsigned char*>(signature.constData()) + kAlgorithmBytes + kKeyIdBytes;
    if (crypto_sign_verify_detached(signatureBytes, hash, sizeof hash, keyBytes) != 0)
        return fail(QStringLiteral("the signature does not match the package"));
    // The trusted comment is signed together with the signature itself.
    const QByteArray signedComment = signature.mid(kAlgorithmBytes + kKeyIdBytes) + trustedComment;
    if (crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(globalSignature.constData()),
                                    reinterpret_cast<const unsigned char*>(signedComment.constData()),
                                    quint64(signedComment.size()), keyBytes) != 0)
        return fail(QStringLiteral("the trusted comment does not match its signature"));

    const QString version = signedVersion(QString::fromUtf8(trustedComment));
    if (version.isEmpty())
        return fail(QStringLiteral("the trusted comment names no version: \"%1\"")
                        .arg(QString::fromUtf8(trustedComment)));
    if (!isNewerThanClient(version))
        return fail(QStringLiteral("version %1 is not newer than this client").arg(version));
    verdict.version = version;
    return verdict;
}

} // namespace quorvane
