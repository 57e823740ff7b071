#include "tests/support/TestUpdateKeys.h"

#include "tests/support/Minisign.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct KeyPairs
{
    // Not below TMPDIR: tests point that into profiles that go away before the program ends.
    QTemporaryDir dir{QStringLiteral("/tmp/quorvane-test-keys-XXXXXX")};
    QString trusted = dir.path() + QStringLiteral("/trusted");
    QString other = dir.path() + QStringLiteral("/other");

    KeyPairs()
    {
        EXPECT_TRUE(MakeMinisignKeyPair(trusted));
        EXPECT_TRUE(MakeMinisignKeyPair(other));
    }
};

const KeyPairs& Keys()
{
    static const KeyPairs keys;
    return keys;
}

} // namespace

QString TestSecretKey()
{
    return Keys().trusted + QStringLiteral("/minisign.key");
}

QString TestPublicKey()
{
    return MinisignPublicKeyLine(Keys().trusted + QStringLiteral("/minisign.pub"));
}

QString OtherTestSecretKey()
{
    return Keys().other + QStringLiteral("/minisign.key");
}
