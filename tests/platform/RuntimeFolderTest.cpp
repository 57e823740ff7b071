#include "platform/InstanceLock.h"
#include "platform/SystemPaths.h"
#include "tests/support/TempProfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {

namespace {

const QString kLockName = QStringLiteral("quorvane_client.exe");

// A runtime folder that is not the user's own, or that others may enter, is not used: another
// user could hold the lock there (the client would never start) or answer the client's requests.
TEST(RuntimeFolder, OnlyAPrivateFolderOfTheUsersIsUsed)
{
    const struct
    {
        const char* what;
        std::function<void(const QString&)> spoil;
        bool needsRoot;
    } cases[] = {
        {"the user's own, mode 0700", [](const QString&) {}, false},
        {"open to others", [](const QString& dir) { chmod(QFile::encodeName(dir).constData(), 0777); },
         false},
        {"readable by the group", [](const QString& dir) { chmod(QFile::encodeName(dir).constData(), 0750); },
         false},
        {"made by another user",
         [](const QString& dir) { ASSERT_EQ(chown(QFile::encodeName(dir).constData(), 12345, 12345), 0); },
         true},
        {"a link to a folder of the user's",
         [](const QString& dir) {
             const QString target = dir + QStringLiteral("-target");
             QDir().mkpath(target);
             chmod(QFile::encodeName(target).constData(), 0700);
             QDir(dir).removeRecursively();
             ASSERT_TRUE(QFile::link(target, dir));
         },
         false},
    };
    for (const auto& c : cases) {
        if (c.needsRoot && geteuid() != 0)
            continue;
        SCOPED_TRACE(c.what);
        TempProfile profile;
        c.spoil(profile.runtimeDir());
        const bool own = QString::fromUtf8(c.what).startsWith(QStringLiteral("the user's own"));
        // Otherwise another folder: Qt's own fallback when it is the user's, or the client's.
        if (own)
            EXPECT_EQ(runtimeDir().toStdString(), profile.runtimeDir().toStdString());
        else
            EXPECT_NE(runtimeDir().toStdString(), profile.runtimeDir().toStdString());
        struct stat info
        {
        };
        ASSERT_EQ(lstat(QFile::encodeName(runtimeDir()).constData(), &info), 0);
        EXPECT_TRUE(S_ISDIR(info.st_mode));
        EXPECT_EQ(info.st_mode & 0777, 0700u);
        EXPECT_EQ(info.st_uid, getuid());

        // The lock works in the folder taken; a second one is refused.
        InstanceLock first(kLockName);
        InstanceLock second(kLockName);
        EXPECT_TRUE(first.acquire());
        EXPECT_FALSE(second.acquire());
    }
}

// The lock file is never opened through a link: a link planted in its place locks nothing else.
TEST(RuntimeFolder, TheLockIsNotTakenThroughALink)
{
    TempProfile profile;
    const QString elsewhere = profile.root() + QStringLiteral("/elsewhere");
    TempProfile::writeFile(elsewhere, "untouched");
    ASSERT_TRUE(
        QFile::link(elsewhere, runtimeDir() + QLatin1Char('/') + kLockName + QStringLiteral(".lock")));
    InstanceLock lock(kLockName);
    lock.acquire();
    EXPECT_EQ(TempProfile::readFile(elsewhere), QStringLiteral("untouched"));
    EXPECT_TRUE(QFileInfo(runtimeDir() + QLatin1Char('/') + kLockName + QStringLiteral(".lock")).isSymLink());
}

} // namespace

} // namespace quorvane
