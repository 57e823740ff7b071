#include "tests/support/TestUpdateKeys.h"

#include "tests/support/Minisign.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quorvane {

namespace {

struct KeyPairs
{
    // Not below TMPDIR: tests point that into profiles that go away before the program ends.
    QTemporaryDir dir{QStringLiteral("/tmp/quorvane-test-keys-XXXXXX")};
    QString trusted = dir.path() + QStringLiteral("/trusted");
    QString other = dir.path() + QStringLiteral("/other");

    KeyPairs()
    {
        EXPECT_TRUE(makeMinisignKeyPair(trusted));
        EXPECT_TRUE(makeMinisignKeyPair(other));
    }
};

const KeyPairs& keys()
{
    static const KeyPairs keys;
    return keys;
}

} // namespace

QString testSecretKey()
{
    return keys().trusted + QStringLiteral("/minisign.key");
}

QString testPublicKey()
{
    return minisignPublicKeyLine(keys().trusted + QStringLiteral("/minisign.pub"));
}

QString otherTestSecretKey()
{
    return keys().other + QStringLiteral("/minisign.key");
}

} // namespace quorvane
