#include "config/ShareHosts.h"
#include "devserver/DemoServerOptions.h"
#include "platform/Failure.h"

#include <QTemporaryFile>
#include <gtest/gtest.h>

namespace quorvane {

namespace {

QStringList split(const QString& text)
{
    return text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

TEST(DemoServerOptions, DefaultsPublishTheClientsVersionWithoutAPackageOnTheKnownShareHosts)
{
    const DemoServerOptions options =
        parseDemoServerOptions(split(QStringLiteral("--port 8642 --data /tmp/d")));
    EXPECT_EQ(options.port, 8642);
    EXPECT_EQ(options.dataDir, QStringLiteral("/tmp/d"));
    EXPECT_EQ(options.version, QStringLiteral(QUORVANE_DEMO_DEFAULT_VERSION_FOR_TESTS));
    EXPECT_FALSE(options.versionDesc.isEmpty());
    EXPECT_TRUE(options.packageFile.isEmpty());
    EXPECT_EQ(options.shareHosts,
              QStringList({QLatin1String(kShareHosts[0]), QLatin1String(kShareHosts[1])}));
}

TEST(DemoServerOptions, EveryOptionIsRead)
{
    QTemporaryFile package;
    ASSERT_TRUE(package.open());
    const DemoServerOptions options = parseDemoServerOptions(
        {QStringLiteral("--data"), QStringLiteral("d"), QStringLiteral("--port"), QStringLiteral("0"),
         QStringLiteral("--version"), QStringLiteral("01.00.201212101200"), QStringLiteral("--version-desc"),
         QStringLiteral("新版本 说明"), QStringLiteral("--package"), package.fileName(),
         QStringLiteral("--share-host"), QStringLiteral("a.example"), QStringLiteral("--share-host"),
         QStringLiteral("b.example")});
    EXPECT_EQ(options.port, 0);
    EXPECT_EQ(options.version, QStringLiteral("01.00.201212101200"));
    EXPECT_EQ(options.versionDesc, QStringLiteral("新版本 说明"));
    EXPECT_EQ(options.packageFile, package.fileName());
    EXPECT_EQ(options.shareHosts, QStringList({QStringLiteral("a.example"), QStringLiteral("b.example")}));
}

TEST(DemoServerOptions, BadCommandLinesAreRefusedWithAMessage)
{
    const char* const commandLines[] = {
        "",
        "--data d",
        "--port 8642",
        "--port abc --data d",
        "--port 65536 --data d",
        "--port -1 --data d",
        "--port 8642 --data",
        "--port 8642 --data d --verbose 1",
        "--port 8642 --data d --version 1.1",
        "--port 8642 --data d --version 01.00.20121210120",
        "--port 8642 --data d --version 01.00.2012121012001",
        "--port 8642 --data d --package /no/such/file.cab",
        "--port 8642 --data d --share-host a --share-host b --share-host c",
        "--port 8642 --data d --share-host -bad-",
        "--port 8642 --data d --share-host a/b",
    };
    for (const char* commandLine : commandLines) {
        try {
            parseDemoServerOptions(split(QString::fromLatin1(commandLine)));
            ADD_FAILURE() << "accepted: " << commandLine;
        } catch (const Failure& failure) {
            EXPECT_FALSE(failure.message().isEmpty()) << commandLine;
        }
    }
}

} // namespace

} // namespace quorvane
