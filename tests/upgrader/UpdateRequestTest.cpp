#include "upgrader/UpdateRequest.h"

#include <gtest/gtest.h>

namespace quorvane {

namespace {

TEST(UpdateRequest, ParsesTheClientsCommandLine)
{
    const struct
    {
        QStringList arguments;
        bool ok;
        QString fileName;
        QString dstFileName;
    } cases[] = {
        {{QStringLiteral("/tmp/quorvane_client.exe quorvane_client.exe")},
         true,
         QStringLiteral("/tmp/quorvane_client.exe"),
         QStringLiteral("quorvane_client.exe")},
        // Spaces in the temporary folder: the bare destination name is after the last one.
        {{QStringLiteral("/home/a b/my temp/quorvane_client.exe quorvane_client.exe")},
         true,
         QStringLiteral("/home/a b/my temp/quorvane_client.exe"),
         QStringLiteral("quorvane_client.exe")},
        {{QStringLiteral("/tmp/x y"), QStringLiteral("quorvane_client.exe")},
         true,
         QStringLiteral("/tmp/x y"),
         QStringLiteral("quorvane_client.exe")},
        {{}, false, {}, {}},
        {{QStringLiteral("/tmp/quorvane_client.exe")}, false, {}, {}},
        {{QStringLiteral("/tmp/quorvane_client.exe ")}, false, {}, {}},
        {{QStringLiteral(" quorvane_client.exe")}, false, {}, {}},
        {{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, false, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char('|')).toStdString());
        const auto request = parseUpdateRequest(c.arguments);
        ASSERT_EQ(request.has_value(), c.ok);
        if (request) {
            EXPECT_EQ(request->fileName, c.fileName);
            EXPECT_EQ(request->dstFileName, c.dstFileName);
        }
    }
}

TEST(UpdateRequest, DestinationMustStayInTheApplicationFolder)
{
    EXPECT_TRUE(isBareFileName(QStringLiteral("quorvane_client.exe")));
    EXPECT_TRUE(isBareFileName(QStringLiteral("..quorvane")));
    for (const QString& name : {QString(), QStringLiteral("."), QStringLiteral(".."), QStringLiteral("../x"),
                                QStringLiteral("/usr/bin/x"), QStringLiteral("sub/x")})
        EXPECT_FALSE(isBareFileName(name)) << name.toStdString();
}

} // namespace

} // namespace quorvane
