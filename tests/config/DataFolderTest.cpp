#include "config/DataFolder.h"
#include "config/ConfigStore.h"
#include "config/Util.h"
#include "tests/support/TempProfile.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {

namespace {

mode_t modeOf(const QString& path)
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
    explicit Umask(mode_t mask) : m_previous(umask(mask)) {}
    ~Umask() { umask(m_previous); }

private:
    mode_t m_previous;
};

class DataFolderTest : public ::testing::Test
{
protected:
    QString folder() const { return m_profile.dataHome() + QStringLiteral("/quorvane"); }
    QString file(const char* name) const { return folder() + QLatin1Char('/') + QLatin1String(name); }

    TempProfile m_profile;
};

// What the client writes is the user's alone from the start, whatever the umask says.
TEST_F(DataFolderTest, NewFilesAreTheUsersAlone)
{
    const Umask lax(022);
    SavedLogin login;
    login.userName = QStringLiteral("alice");
    login.password = QStringLiteral("secret");
    ConfigStore().saveConfigInfo(login);
    writeDebugLog("Error on longin:test");
    secureDataFolder();
    EXPECT_EQ(modeOf(folder()), 0700u);
    EXPECT_EQ(modeOf(file("quorvane.ini")), 0600u);
    EXPECT_EQ(modeOf(file("debug.txt")), 0600u);
}

// Files made wider by an older client are narrowed at start; another user's file is left as it
// is and the debug log says so.
TEST_F(DataFolderTest, WiderFilesAreRepairedAtStart)
{
    QDir().mkpath(folder());
    chmod(QFile::encodeName(folder()).constData(), 0755);
    for (const char* name : {"quorvane.ini", "upgrade.ini", "debug.txt"}) {
        TempProfile::writeFile(file(name), "[Common]\n");
        chmod(QFile::encodeName(file(name)).constData(), 0644);
    }
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(QFile::encodeName(file("upgrade.ini")).constData(), 12345, 12345), 0);
    }

    secureDataFolder();
    EXPECT_EQ(modeOf(folder()), 0700u);
    EXPECT_EQ(modeOf(file("quorvane.ini")), 0600u);
    EXPECT_EQ(modeOf(file("debug.txt")), 0600u);
    if (root) {
        EXPECT_EQ(modeOf(file("upgrade.ini")), 0644u);
        EXPECT_TRUE(
            TempProfile::readFile(file("debug.txt")).contains(QStringLiteral("belongs to user 12345")));
    } else {
        EXPECT_EQ(modeOf(file("upgrade.ini")), 0600u);
    }
}

} // namespace

} // namespace quorvane
