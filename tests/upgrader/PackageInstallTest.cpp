#include "upgrader/PackageInstall.h"
#include "tests/support/TempProfile.h"
#include "tests/update/ProtectedFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// An application folder with an old client and readme, and an unpacked package beside it.
class PackageInstallTest : public ::testing::Test
{
protected:
    PackageInstallTest()
    {
        QDir().mkpath(AppDir());
        Write(AppDir() + QStringLiteral("/quorvane_client"), "old client", 0750);
        Write(AppDir() + QStringLiteral("/readme.txt"), "old readme", 0640);
        Write(Unpacked() + QStringLiteral("/quorvane_client.exe"), "new client", 0600);
        Write(Unpacked() + QStringLiteral("/readme.txt"), "new readme", 0600);
        Write(Unpacked() + QStringLiteral("/skin/main/bg.bmp"), "BM", 0666);
        before_ = Snapshot();
    }

    QString AppDir() const { return profile_.Root() + QStringLiteral("/app"); }
    QString Work() const { return AppDir() + QStringLiteral("/.work"); }
    QString Unpacked() const { return Work() + QStringLiteral("/files"); }

    static void Write(const QString& path, const QByteArray& data, mode_t mode)
    {
        TempProfile::WriteFile(path, data);
        chmod(QFile::encodeName(path).constData(), mode);
    }

    static mode_t Mode(const QString& path)
    {
        struct stat info
        {
        };
        stat(QFile::encodeName(path).constData(), &info);
        return info.st_mode & 07777;
    }

    // Every entry of the application folder but the work folder, with its bytes and mode.
    QMap<QString, QString> Snapshot() const
    {
        QMap<QString, QString> entries;
        QDirIterator it(AppDir(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString name = QDir(AppDir()).relativeFilePath(path);
            if (name.startsWith(QStringLiteral(".work")))
                continue;
            entries[name] = TempProfile::ReadFile(path) + QLatin1Char('|') + QString::number(Mode(path), 8);
        }
        return entries;
    }

    TempProfile profile_;
    QMap<QString, QString> before_;
};

TEST_F(PackageInstallTest, PutsEveryFileInPlaceAndKeepsTheOldPermissions)
{
    TPackageInstall install(AppDir(), Unpacked(), Work() + QStringLiteral("/replaced"));
    QString error;
    ASSERT_TRUE(install.Install(&error)) << error.toStdString();
    const QMap<QString, QString> after = Snapshot();
    EXPECT_EQ(after.value(QStringLiteral("quorvane_client")), QStringLiteral("new client|750"));
    EXPECT_EQ(after.value(QStringLiteral("readme.txt")), QStringLiteral("new readme|640"));
    // New names: a data file readable by all and writable by its owner only.
    EXPECT_EQ(after.value(QStringLiteral("skin/main/bg.bmp")), QStringLiteral("BM|644"));
    EXPECT_EQ(install.InstalledNames(),
              (QStringList{QStringLiteral("quorvane_client"), QStringLiteral("readme.txt"),
                           QStringLiteral("skin/main/bg.bmp")}));
}

TEST_F(PackageInstallTest, ANewProgramIsExecutable)
{
    QFile::remove(AppDir() + QStringLiteral("/quorvane_client"));
    TPackageInstall install(AppDir(), Unpacked(), Work() + QStringLiteral("/replaced"));
    QString error;
    ASSERT_TRUE(install.Install(&error));
    EXPECT_EQ(Mode(AppDir() + QStringLiteral("/quorvane_client")), mode_t(0755));
}

TEST_F(PackageInstallTest, RollBackPutsEveryOldFileBackAndRemovesTheNewOnes)
{
    TPackageInstall install(AppDir(), Unpacked(), Work() + QStringLiteral("/replaced"));
    QString error;
    ASSERT_TRUE(install.Install(&error));
    install.RollBack();
    EXPECT_EQ(Snapshot(), before_);
}

// All or nothing: when one file cannot be put in place, the files already placed go back.
TEST_F(PackageInstallTest, OneFileInTheWayTakesEverythingBack)
{
    const struct
    {
        const char* what;
        std::function<void()> obstruct;
    } cases[] = {
        {"a folder where a file goes", [this] { QDir().mkpath(AppDir() + QStringLiteral("/zz-folder")); }},
        {"a file where a folder goes", [this] { Write(AppDir() + QStringLiteral("/zz"), "file", 0644); }},
        {"a link on the way out of the folder",
         [this] { QFile::link(profile_.Root(), AppDir() + QStringLiteral("/zz")); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(AppDir() + QStringLiteral("/zz")).removeRecursively();
        QFile::remove(AppDir() + QStringLiteral("/zz"));
        QDir(AppDir() + QStringLiteral("/zz-folder")).removeRecursively();
        QDir(Work() + QStringLiteral("/replaced")).removeRecursively();
        // Placed after every other file (names are taken in order), so the earlier ones come back.
        Write(Unpacked() + QStringLiteral("/zz-folder"), "file", 0644);
        Write(Unpacked() + QStringLiteral("/zz/inner.txt"), "inner", 0644);
        c.obstruct();
        const QMap<QString, QString> before = Snapshot();
        TPackageInstall install(AppDir(), Unpacked(), Work() + QStringLiteral("/replaced"));
        QString error;
        EXPECT_FALSE(install.Install(&error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(Snapshot(), before);
        EXPECT_FALSE(QFile::exists(profile_.Root() + QStringLiteral("/inner.txt")));
        QFile::remove(Unpacked() + QStringLiteral("/zz-folder"));
        QDir(Unpacked() + QStringLiteral("/zz")).removeRecursively();
    }
}

TEST_F(PackageInstallTest, AFileThatCannotBeReplacedTakesEverythingBack)
{
    // Root may write anywhere, so for root the file itself is made immutable.
    const ProtectedFolder guard(AppDir() + QStringLiteral("/readme.txt"));
    if (!guard.Ok())
        GTEST_SKIP() << "cannot protect a file here";
    TPackageInstall install(AppDir(), Unpacked(), Work() + QStringLiteral("/replaced"));
    QString error;
    EXPECT_FALSE(install.Install(&error));
    EXPECT_EQ(Snapshot(), before_);
}

} // namespace
