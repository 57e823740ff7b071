#include "platform/TempFiles.h"
#include "platform/ProgramFiles.h"
#include "platform/SystemPaths.h"
#include "tests/support/TempProfile.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace quorvane {

TEST(TempFiles, CreatesDistinctEmptyFilesWithThePrefix)
{
    TempProfile profile;
    const QString a = createUniqueTempFile(profile.tempDir(), QStringLiteral("quorvane"));
    const QString b = createUniqueTempFile(profile.tempDir(), QStringLiteral("quorvane"));
    ASSERT_FALSE(a.isEmpty());
    EXPECT_NE(a, b);
    for (const QString& path : {a, b}) {
        const QFileInfo info(path);
        EXPECT_TRUE(info.exists());
        EXPECT_EQ(info.size(), 0);
        EXPECT_TRUE(info.fileName().startsWith(QStringLiteral("quorvane")));
        EXPECT_EQ(info.absolutePath(), profile.tempDir());
    }
    EXPECT_TRUE(
        createUniqueTempFile(profile.root() + QStringLiteral("/missing"), QStringLiteral("q")).isEmpty());
}

TEST(ProgramFiles, PackageNamesMapToThisSystemsProgramNames)
{
    const struct
    {
        const char* package;
        const char* native;
    } cases[] = {{"quorvane_client.exe", "quorvane_client"},
                 {"Quorvane_Client.EXE", "Quorvane_Client"},
                 {"readme.txt", "readme.txt"},
                 {".exe", ".exe"},
                 {"upgrade", "upgrade"}};
    for (const auto& c : cases)
        EXPECT_EQ(nativeProgramFileName(QString::fromLatin1(c.package)), QString::fromLatin1(c.native))
            << c.package;
}

TEST(SystemPaths, TempDirNeverEmpty)
{
    TempProfile profile;
    EXPECT_EQ(tempDir(), profile.tempDir());
    const QByteArray saved = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(profile.root() + QStringLiteral("/missing")));
    EXPECT_EQ(tempDir(), QStringLiteral("/tmp"));
    qputenv("TMPDIR", saved);
}

} // namespace quorvane
