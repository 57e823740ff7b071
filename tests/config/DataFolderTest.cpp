#include "config/DataFolder.h"
#include "config/SelvorConfig.h"
#include "config/Util.h"
#include "tests/support/TempProfile.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

mode_t ModeOf(const QString& path)
{
    struct stat info
    {
    };
    if (lstat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_mode & 07777;
}

// Sets the process umask for the life of the object.
class Umask final
{
public:
    explicit Umask(mode_t mask) : previous_(umask(mask)) {}
    ~Umask() { umask(previous_); }

private:
    mode_t previous_;
};

class DataFolderTest : public ::testing::Test
{
protected:
    QString Folder() const { return profile_.DataHome() + QStringLiteral("/quorvane"); }
    QString File(const char* name) const { return Folder() + QLatin1Char('/') + QLatin1String(name); }

    TempProfile profile_;
};

// What the client writes is the user's alone from the start, whatever the umask says.
TEST_F(DataFolderTest, NewFilesAreTheUsersAlone)
{
    const Umask lax(022);
    SelvorConfigInfo login;
    login.UserName = QStringLiteral("alice");
    login.Password = QStringLiteral("secret");
    TSelvorConfig().SaveConfigInfo(login);
    WriteDebugLog("Error on longin:test");
    SecureDataFolder();
    EXPECT_EQ(ModeOf(Folder()), 0700u);
    EXPECT_EQ(ModeOf(File("quorvane.ini")), 0600u);
    EXPECT_EQ(ModeOf(File("debug.txt")), 0600u);
}

// Files made wider by an older client are narrowed at start; another user's file is left as it
// is and the debug log says so.
TEST_F(DataFolderTest, WiderFilesAreRepairedAtStart)
{
    QDir().mkpath(Folder());
    chmod(QFile::encodeName(Folder()).constData(), 0755);
    for (const char* name : {"quorvane.ini", "upgrade.ini", "debug.txt"}) {
        TempProfile::WriteFile(File(name), "[Common]\n");
        chmod(QFile::encodeName(File(name)).constData(), 0644);
    }
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(QFile::encodeName(File("upgrade.ini")).constData(), 12345, 12345), 0);
    }

    SecureDataFolder();
    EXPECT_EQ(ModeOf(Folder()), 0700u);
    EXPECT_EQ(ModeOf(File("quorvane.ini")), 0600u);
    EXPECT_EQ(ModeOf(File("debug.txt")), 0600u);
    if (root) {
        EXPECT_EQ(ModeOf(File("upgrade.ini")), 0644u);
        EXPECT_TRUE(
            TempProfile::ReadFile(File("debug.txt")).contains(QStringLiteral("belongs to user 12345")));
    } else {
        EXPECT_EQ(ModeOf(File("upgrade.ini")), 0600u);
    }
}

} // namespace
