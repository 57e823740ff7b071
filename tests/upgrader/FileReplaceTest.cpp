#include "upgrader/FileReplace.h"
#include "platform/Failure.h"
#include "tests/support/TempProfile.h"
#include "tests/update/ProtectedFolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class FileReplaceTest : public ::testing::Test
{
protected:
    FileReplaceTest()
    {
        QDir().mkpath(AppDir());
        TempProfile::WriteFile(Target(), "old client");
        chmod(QFile::encodeName(Target()).constData(), 0750);
        TempProfile::WriteFile(Source(), "new client");
        chmod(QFile::encodeName(Source()).constData(), 0600);
    }

    QString AppDir() const { return profile_.Root() + QStringLiteral("/app"); }
    QString Target() const { return AppDir() + QStringLiteral("/quorvane_client.exe"); }
    QString Source() const { return profile_.TempDir() + QStringLiteral("/quorvane_client.exe"); }

    static mode_t Mode(const QString& path)
    {
        struct stat info
        {
        };
        stat(QFile::encodeName(path).constData(), &info);
        return info.st_mode & 07777;
    }

    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QStringList AppFiles() const
    {
        return QDir(AppDir()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    TempProfile profile_;
};

TEST_F(FileReplaceTest, ReplacesAndKeepsTheExecutableBits)
{
    ReplaceFile(Source(), Target());
    EXPECT_EQ(Read(Target()), QByteArray("new client"));
    EXPECT_EQ(Mode(Target()), mode_t(0750)); // the old file's, not the source's
    EXPECT_EQ(AppFiles(), QStringList{QStringLiteral("quorvane_client.exe")});
}

TEST_F(FileReplaceTest, ANewTargetIsExecutable)
{
    QFile::remove(Target());
    ReplaceFile(Source(), Target());
    EXPECT_EQ(Read(Target()), QByteArray("new client"));
    EXPECT_TRUE(Mode(Target()) & S_IXUSR);
}

// Whatever fails, the old file stays whole and no unfinished copy is left beside it.
TEST_F(FileReplaceTest, OldFileStaysWholeWhenTheCopyFails)
{
    const QString folderSource = profile_.Root() + QStringLiteral("/a folder");
    QDir().mkpath(folderSource);
    const QString link = profile_.Root() + QStringLiteral("/link.exe");
    QFile::link(Source(), link);
    const QString missing = profile_.Root() + QStringLiteral("/missing.exe");
    for (const QString& source : {missing, folderSource, link}) {
        SCOPED_TRACE(source.toStdString());
        EXPECT_THROW(ReplaceFile(source, Target()), TFailure);
        EXPECT_EQ(Read(Target()), QByteArray("old client"));
        EXPECT_EQ(AppFiles(), QStringList{QStringLiteral("quorvane_client.exe")});
    }
    // A source of another user is refused when the file must be the user's own.
    EXPECT_THROW(ReplaceFile(Source(), Target(), int(getuid()) + 1), TFailure);
    EXPECT_EQ(Read(Target()), QByteArray("old client"));
}

TEST_F(FileReplaceTest, OldFileStaysWholeWhenItCannotBeReplaced)
{
    // Root may write anywhere, so for root the target itself is made immutable: the copy is made
    // and must be cleaned up when the rename is refused.
    const ProtectedFolder guard(geteuid() == 0 ? Target() : AppDir());
    if (!guard.Ok())
        GTEST_SKIP() << "cannot protect a file here";
    EXPECT_THROW(ReplaceFile(Source(), Target()), TFailure);
    EXPECT_EQ(Read(Target()), QByteArray("old client"));
    EXPECT_EQ(AppFiles(), QStringList{QStringLiteral("quorvane_client.exe")});
}

} // namespace
