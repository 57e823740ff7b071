#include "update/PackageSignature.h"

#include "tests/support/Minisign.h"
#include "tests/support/TempProfile.h"
#include "tests/support/TestUpdateKeys.h"
#include "update/TrustedKey.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace quorvane {

namespace {

const QString kVersion = QStringLiteral("99.00.201205281430");

// A package signed with minisign itself, and signatures made for the cases.
class PackageSignatureTest : public ::testing::Test
{
protected:
    PackageSignatureTest() { TempProfile::writeFile(package(), QByteArray(200000, 'p')); }

    QString package() const { return m_profile.root() + QStringLiteral("/quorvane_upgrade.cab"); }

    // A signature of `data` with `comment` by `secretKey`, made by minisign.
    QByteArray signatureOf(const QByteArray& data, const QString& comment,
                           const QString& secretKey = testSecretKey())
    {
        const QString file = m_profile.root() + QStringLiteral("/other.cab");
        TempProfile::writeFile(file, data);
        EXPECT_TRUE(signWithMinisign(file, comment, secretKey));
        QFile signature(file + QStringLiteral(".minisig"));
        return signature.open(QIODevice::ReadOnly) ? signature.readAll() : QByteArray();
    }

    QByteArray validSignature()
    {
        return signatureOf(QByteArray(200000, 'p'), QStringLiteral("version:") + kVersion);
    }

    TempProfile m_profile;
};

TEST_F(PackageSignatureTest, AValidSignatureGivesTheSignedVersion)
{
    for (const QString& key : {testPublicKey(), QStringLiteral("untrusted comment: minisign public key\n") +
                                                    testPublicKey() + "\n"}) {
        const SignatureVerdict verdict = verifyPackageSignature(package(), validSignature(), key);
        EXPECT_TRUE(verdict.ok()) << verdict.error.toStdString();
        EXPECT_EQ(verdict.version, kVersion);
    }
    // Line ends of another system change nothing.
    const SignatureVerdict crlf =
        verifyPackageSignature(package(), validSignature().replace("\n", "\r\n"), testPublicKey());
    EXPECT_TRUE(crlf.ok()) << crlf.error.toStdString();
}

TEST_F(PackageSignatureTest, RefusesEverythingElse)
{
    const QByteArray valid = validSignature();
    QList<QByteArray> lines = valid.split('\n');
    const auto withLine = [&lines](int index, const QByteArray& line) {
        QList<QByteArray> changed = lines;
        changed[index] = line;
        return changed.join('\n');
    };
    // Algorithm tags in place of the hashed "ED": minisign's legacy "Ed", and one nobody uses.
    const auto withTag = [&lines, &withLine](const char* tag) {
        QByteArray signature = QByteArray::fromBase64(lines[1]);
        signature.replace(0, 2, tag);
        return withLine(1, signature.toBase64());
    };
    const struct
    {
        const char* what;
        QByteArray signature;
        QString key;
        const char* error;
    } cases[] = {
        {"no signature", "", testPublicKey(), "no signature"},
        {"signed by another key",
         signatureOf(QByteArray(200000, 'p'), QStringLiteral("version:") + kVersion, otherTestSecretKey()),
         testPublicKey(), "another key"},
        {"signature over other bytes", signatureOf("other bytes", QStringLiteral("version:") + kVersion),
         testPublicKey(), "does not match the package"},
        {"a trusted comment changed after signing",
         withLine(2, "trusted comment: version:99.99.999999999999"), testPublicKey(),
         "trusted comment does not match"},
        {"an older version, replayed",
         signatureOf(QByteArray(200000, 'p'), QStringLiteral("version:01.00.201205281428")), testPublicKey(),
         "not newer"},
        {"the client's own version",
         signatureOf(QByteArray(200000, 'p'), QStringLiteral("version:01.00.201205281429")), testPublicKey(),
         "not newer"},
        {"a trusted comment without a version",
         signatureOf(QByteArray(200000, 'p'), QStringLiteral("release 99")), testPublicKey(),
         "names no version"},
        {"truncated", valid.left(valid.size() / 2), testPublicKey(), "format"},
        {"garbled base64", withLine(1, lines[1].left(20) + "!!" + lines[1].mid(22)), testPublicKey(),
         "format"},
        {"base64 without its padding", withLine(3, lines[3].chopped(2)), testPublicKey(), "format"},
        {"too long", valid + QByteArray(5000, '\n'), testPublicKey(), "too large"},
        {"the legacy algorithm", withTag("Ed"), testPublicKey(), "legacy"},
        {"an unknown algorithm", withTag("XY"), testPublicKey(), "unknown algorithm"},
        {"no key built in", valid, QString(), "no update key"},
        {"a key of the wrong length", valid, testPublicKey().left(40), "malformed"},
        {"a key that is no base64", valid, QStringLiteral("RW!!") + testPublicKey().mid(4), "malformed"},
        {"a key without its tag", valid,
         QString::fromLatin1(("XX" + QByteArray::fromBase64(testPublicKey().toLatin1()).mid(2)).toBase64()),
         "malformed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const SignatureVerdict verdict = verifyPackageSignature(package(), c.signature, c.key);
        EXPECT_FALSE(verdict.ok());
        EXPECT_TRUE(verdict.version.isEmpty());
        EXPECT_TRUE(verdict.error.contains(QString::fromUtf8(c.error))) << verdict.error.toStdString();
    }
}

TEST_F(PackageSignatureTest, AnAbortOrAMissingPackageFails)
{
    std::atomic<bool> abort = true;
    EXPECT_EQ(verifyPackageSignature(package(), validSignature(), testPublicKey(), &abort).error,
              QStringLiteral("aborted"));
    QFile::remove(package());
    EXPECT_TRUE(verifyPackageSignature(package(), validSignature(), testPublicKey())
                    .error.startsWith(QStringLiteral("the package cannot be read")));
}

TEST(SignedVersion, ReadsOnlyTheAgreedForm)
{
    const struct
    {
        const char* comment;
        const char* version;
    } cases[] = {
        {"version:01.00.201212101200", "01.00.201212101200"},
        {"version: 01.00.201212101200", "01.00.201212101200"},
        {"version:01.00.201212101200\n", ""},
        {"version:01.00.20121210120", ""},
        {"version:01-00-201212101200", ""},
        {"version:1.0", ""},
        {"version:01.00.201212101200 and more", ""},
        {"Version:01.00.201212101200", ""},
        {"timestamp:1733000000\tfile:quorvane_upgrade.cab", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(signedVersion(QString::fromUtf8(c.comment)), QString::fromUtf8(c.version)) << c.comment;
}

// The build's own key: the demo key when configured with -DQUORVANE_DEMO_UPDATE_KEY=ON.
TEST(TrustedUpdateKey, IsTheConfiguredKey)
{
    if (demoSecretKey().isEmpty())
        GTEST_SKIP() << "this build has no demo update key";
    const QString publicKeyFile = QFileInfo(demoSecretKey()).absolutePath() + QStringLiteral("/minisign.pub");
    EXPECT_FALSE(trustedUpdateKey().isEmpty());
    EXPECT_EQ(trustedUpdateKey(), minisignPublicKeyLine(publicKeyFile));
    EXPECT_EQ(demoPublicKey(), trustedUpdateKey());
}

} // namespace

} // namespace quorvane
