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

namespace quorvane {

namespace {

// An application folder with an old client and readme, and an unpacked package beside it.
class PackageInstallTest : public ::testing::Test
{
protected:
    PackageInstallTest()
    {
        QDir().mkpath(appDir());
        write(appDir() + QStringLiteral("/quorvane_client"), "old client", 0750);
        write(appDir() + QStringLiteral("/readme.txt"), "old readme", 0640);
        write(unpacked() + QStringLiteral("/quorvane_client.exe"), "new client", 0600);
        write(unpacked() + QStringLiteral("/readme.txt"), "new readme", 0600);
        write(unpacked() + QStringLiteral("/skin/main/bg.bmp"), "BM", 0666);
        m_before = snapshot();
    }

    QString appDir() const { return m_profile.root() + QStringLiteral("/app"); }
    QString work() const { return appDir() + QStringLiteral("/.work"); }
    QString unpacked() const { return work() + QStringLiteral("/files"); }

    static void write(const QString& path, const QByteArray& data, mode_t mode)
    {
        TempProfile::writeFile(path, data);
        chmod(QFile::encodeName(path).constData(), mode);
    }

    static mode_t mode(const QString& path)
    {
        struct stat info
        {
        };
        stat(QFile::encodeName(path).constData(), &info);
        return info.st_mode & 07777;
    }

    // Every entry of the application folder but the work folder, with its bytes and mode.
    QMap<QString, QString> snapshot() const
    {
        QMap<QString, QString> entries;
        QDirIterator it(appDir(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString name = QDir(appDir()).relativeFilePath(path);
            if (name.startsWith(QStringLiteral(".work")))
                continue;
            entries[name] = TempProfile::readFile(path) + QLatin1Char('|') + QString::number(mode(path), 8);
        }
        return entries;
    }

    TempProfile m_profile;
    QMap<QString, QString> m_before;
};

TEST_F(PackageInstallTest, PutsEveryFileInPlaceAndKeepsTheOldPermissions)
{
    PackageInstall install(appDir(), unpacked(), work() + QStringLiteral("/replaced"));
    QString error;
    ASSERT_TRUE(install.install(&error)) << error.toStdString();
    const QMap<QString, QString> after = snapshot();
    EXPECT_EQ(after.value(QStringLiteral("quorvane_client")), QStringLiteral("new client|750"));
    EXPECT_EQ(after.value(QStringLiteral("readme.txt")), QStringLiteral("new readme|640"));
    // New names: a data file readable by all and writable by its owner only.
    EXPECT_EQ(after.value(QStringLiteral("skin/main/bg.bmp")), QStringLiteral("BM|644"));
    EXPECT_EQ(install.installedNames(),
              (QStringList{QStringLiteral("quorvane_client"), QStringLiteral("readme.txt"),
                           QStringLiteral("skin/main/bg.bmp")}));
}

TEST_F(PackageInstallTest, ANewProgramIsExecutable)
{
    QFile::remove(appDir() + QStringLiteral("/quorvane_client"));
    PackageInstall install(appDir(), unpacked(), work() + QStringLiteral("/replaced"));
    QString error;
    ASSERT_TRUE(install.install(&error));
    EXPECT_EQ(mode(appDir() + QStringLiteral("/quorvane_client")), mode_t(0755));
}

TEST_F(PackageInstallTest, RollBackPutsEveryOldFileBackAndRemovesTheNewOnes)
{
    PackageInstall install(appDir(), unpacked(), work() + QStringLiteral("/replaced"));
    QString error;
    ASSERT_TRUE(install.install(&error));
    install.rollBack();
    EXPECT_EQ(snapshot(), m_before);
}

// All or nothing: when one file cannot be put in place, the files already placed go back.
TEST_F(PackageInstallTest, OneFileInTheWayTakesEverythingBack)
{
    const struct
    {
        const char* what;
        std::function<void()> obstruct;
    } cases[] = {
        {"a folder where a file goes", [this] { QDir().mkpath(appDir() + QStringLiteral("/zz-folder")); }},
        {"a file where a folder goes", [this] { write(appDir() + QStringLiteral("/zz"), "file", 0644); }},
        {"a link on the way out of the folder",
         [this] { QFile::link(m_profile.root(), appDir() + QStringLiteral("/zz")); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(appDir() + QStringLiteral("/zz")).removeRecursively();
        QFile::remove(appDir() + QStringLiteral("/zz"));
        QDir(appDir() + QStringLiteral("/zz-folder")).removeRecursively();
        QDir(work() + QStringLiteral("/replaced")).removeRecursively();
        // Placed after every other file (names are taken in order), so the earlier ones come back.
        write(unpacked() + QStringLiteral("/zz-folder"), "file", 0644);
        write(unpacked() + QStringLiteral("/zz/inner.txt"), "inner", 0644);
        c.obstruct();
        const QMap<QString, QString> before = snapshot();
        PackageInstall install(appDir(), unpacked(), work() + QStringLiteral("/replaced"));
        QString error;
        EXPECT_FALSE(install.install(&error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(snapshot(), before);
        EXPECT_FALSE(QFile::exists(m_profile.root() + QStringLiteral("/inner.txt")));
        QFile::remove(unpacked() + QStringLiteral("/zz-folder"));
        QDir(unpacked() + QStringLiteral("/zz")).removeRecursively();
    }
}

TEST_F(PackageInstallTest, AFileThatCannotBeReplacedTakesEverythingBack)
{
    // Root may write anywhere, so for root the file itself is made immutable.
    const ProtectedFolder guard(appDir() + QStringLiteral("/readme.txt"));
    if (!guard.ok())
        GTEST_SKIP() << "cannot protect a file here";
    PackageInstall install(appDir(), unpacked(), work() + QStringLiteral("/replaced"));
    QString error;
    EXPECT_FALSE(install.install(&error));
    EXPECT_EQ(snapshot(), m_before);
}

} // namespace

} // namespace quorvane
