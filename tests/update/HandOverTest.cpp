#include "server/ClientVersion.h"
#include "server/HttpClient.h"
#include "tests/update/UpgradeFixture.h"

#include <QDir>
#include <QFile>

namespace {

class HandOverTest : public UpgradeFixture
{
protected:
    HandOverTest()
    {
        // A stand-in updater that writes down its arguments, one a line.
        WriteExecutable(AppDir() + QStringLiteral("/upgrade"), Recorder(QString()));
    }

    QString Record() const { return profile_.Root() + QStringLiteral("/launched.txt"); }

    // A shell script that writes `firstLine` (when given) and its arguments to Record() in one step.
    QByteArray Recorder(const QString& firstLine) const
    {
        const QByteArray record = QFile::encodeName(Record());
        QByteArray script = "#!/bin/sh\n{ ";
        if (!firstLine.isEmpty())
            script += "echo " + firstLine.toUtf8() + "; ";
        script += "for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '" + record + ".part' && mv '" +
                  record + ".part' '" + record + "'\n";
        return script;
    }

    // What the updater was started with; empty when nothing was started in time.
    QStringList Launched()
    {
        if (!WaitForFile(Record()))
            return {};
        QStringList lines = QString::fromUtf8(ReadBytes(Record())).split(QLatin1Char('\n'));
        lines.removeAll(QString());
        QFile::remove(Record());
        return lines;
    }

    void WritePending(const QString& versionNo)
    {
        TempProfile::WriteFile(TempExe(), "new client");
        upgrade_.WriteUpgradeInfo(TempExe(), QStringLiteral("quorvane_client.exe"), versionNo);
    }
};

TEST_F(HandOverTest, WritesThreeKeysAndKeepsTheRest)
{
    TempProfile::WriteFile(UpgradeFile(), "; kept\n[Other]\nx=1\n[Common]\nextra=keep me\nversionNo=old\n");
    upgrade_.WriteUpgradeInfo(QStringLiteral("/tmp/a b/quorvane_client.exe"),
                              QStringLiteral("quorvane_client.exe"),
                              QStringLiteral("01.00.201205281430\r\n"));
    UpgradeInfo info = upgrade_.ReadUpgradeInfo();
    EXPECT_EQ(info.fileName, QStringLiteral("/tmp/a b/quorvane_client.exe"));
    EXPECT_EQ(info.dstFileName, QStringLiteral("quorvane_client.exe"));
    // A line end cannot live in an INI value; the first 18 characters are what counts.
    EXPECT_EQ(info.versionNo.left(18), QStringLiteral("01.00.201205281430"));

    upgrade_.WriteUpgradeInfo(QStringLiteral("/t/new.exe"), QStringLiteral("new.exe"), QStringLiteral("02"));
    info = upgrade_.ReadUpgradeInfo();
    EXPECT_EQ(info.fileName, QStringLiteral("/t/new.exe"));
    EXPECT_EQ(info.dstFileName, QStringLiteral("new.exe"));
    EXPECT_EQ(info.versionNo, QStringLiteral("02"));
    const QString text = QString::fromUtf8(ReadBytes(UpgradeFile()));
    EXPECT_TRUE(text.contains(QStringLiteral("; kept\n[Other]\nx=1\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("extra=keep me")));
    EXPECT_EQ(text.count(QStringLiteral("versionNo=")), 1);
}

TEST_F(HandOverTest, MissingFileOrKeysReadEmpty)
{
    UpgradeInfo info = upgrade_.ReadUpgradeInfo();
    EXPECT_TRUE(info.fileName.isEmpty() && info.dstFileName.isEmpty() && info.versionNo.isEmpty());
    TempProfile::WriteFile(UpgradeFile(), "[common]\nFILENAME=/x\n");
    info = upgrade_.ReadUpgradeInfo();
    EXPECT_EQ(info.fileName, QStringLiteral("/x"));
    EXPECT_TRUE(info.versionNo.isEmpty());
    EXPECT_EQ(upgrade_.GetUpgradeDir(), profile_.DataHome() + QStringLiteral("/quorvane"));
}

TEST_F(HandOverTest, CommandLineIsNotQuotedWhenTheTemporaryFolderHasSpaces)
{
    const QString spaced = profile_.Root() + QStringLiteral("/my temp folder");
    QDir().mkpath(spaced);
    qputenv("TMPDIR", QFile::encodeName(spaced)); // TempProfile puts it back
    ServePackage(GcabPackage({{QStringLiteral("quorvane_client.exe"), "new client"}}));
    THttpClient http;
    upgrade_.DownloadUpgrade(http, QStringLiteral("99.00.201205281430"));

    const UpgradeInfo info = upgrade_.ReadUpgradeInfo();
    EXPECT_EQ(info.fileName, spaced + QStringLiteral("/quorvane_client.exe"));
    const QString commandLine = spaced + QStringLiteral("/quorvane_client.exe quorvane_client.exe");
    EXPECT_EQ(TUpgrade::UpdaterCommandLine(info), commandLine);
    ASSERT_TRUE(upgrade_.ApplyPendingUpgrade());
    EXPECT_EQ(Launched(), QStringList{commandLine}); // one argument, as it stands
}

TEST_F(HandOverTest, CanWriteDirLeavesNoProbeBehind)
{
    EXPECT_TRUE(upgrade_.CanWriteDir(AppDir()));
    EXPECT_FALSE(QFile::exists(AppDir() + QStringLiteral("/test.tmp")));

    // A "test.tmp" of the user's own is neither emptied nor removed.
    TempProfile::WriteFile(AppDir() + QStringLiteral("/test.tmp"), "mine");
    EXPECT_TRUE(upgrade_.CanWriteDir(AppDir()));
    EXPECT_EQ(ReadBytes(AppDir() + QStringLiteral("/test.tmp")), QByteArray("mine"));
    QFile::remove(AppDir() + QStringLiteral("/test.tmp"));

    EXPECT_FALSE(upgrade_.CanWriteDir(profile_.Root() + QStringLiteral("/missing")));
    const ProtectedFolder protectedFolder(AppDir());
    if (!protectedFolder.Ok())
        GTEST_SKIP() << "cannot make a folder read-only here";
    EXPECT_FALSE(upgrade_.CanWriteDir(AppDir()));
    EXPECT_EQ(Tree(AppDir()), QStringList{QStringLiteral("upgrade")});
}

TEST_F(HandOverTest, ApplyPendingUpgradeStartsTheUpdaterOnlyForANewerVersion)
{
    if (CLIENT_VERSION != QLatin1String("01.00.201205281429"))
        GTEST_SKIP() << "this build calls itself " << CLIENT_VERSION.toStdString();
    EXPECT_FALSE(upgrade_.ApplyPendingUpgrade()); // no hand-over file at all
    for (const QString& versionNo :
         {QString(), QStringLiteral("0"), CLIENT_VERSION, QStringLiteral("01.00.201205281428")}) {
        WritePending(versionNo);
        EXPECT_FALSE(upgrade_.ApplyPendingUpgrade()) << versionNo.toStdString();
    }
    WritePending(QStringLiteral("01.00.201205281430"));
    EXPECT_TRUE(upgrade_.ApplyPendingUpgrade());
    // Only this start happened, without elevation, and no probe file stayed behind.
    EXPECT_EQ(Launched(), QStringList{TempExe() + QStringLiteral(" quorvane_client.exe")});
    EXPECT_EQ(Tree(AppDir()), QStringList{QStringLiteral("upgrade")});
}

// Ending the client for an updater that cannot do anything would repeat at every start.
TEST_F(HandOverTest, ApplyPendingUpgradeKeepsTheClientWhenNothingCanBeHandedOver)
{
    WritePending(QStringLiteral("99.00.201205281430"));
    QFile::remove(TempExe());
    EXPECT_FALSE(upgrade_.ApplyPendingUpgrade()); // the unpacked executable is gone

    WritePending(QStringLiteral("99.00.201205281430"));
    QFile::remove(AppDir() + QStringLiteral("/upgrade"));
    EXPECT_FALSE(upgrade_.ApplyPendingUpgrade()); // no updater to start
}

TEST_F(HandOverTest, ApplyPendingUpgradeAsksForElevationWhenTheFolderIsProtected)
{
    // A stand-in pkexec that writes down how it was called.
    const QString bin = profile_.Root() + QStringLiteral("/bin");
    WriteExecutable(bin + QStringLiteral("/pkexec"), Recorder(QStringLiteral("pkexec")));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin) + ':' + path);
    WritePending(QStringLiteral("99.00.201205281430"));
    bool protectedOk = false;
    bool launched = false;
    {
        const ProtectedFolder protectedFolder(AppDir());
        protectedOk = protectedFolder.Ok();
        if (protectedOk)
            launched = upgrade_.ApplyPendingUpgrade();
    }
    qputenv("PATH", path);
    if (!protectedOk)
        GTEST_SKIP() << "cannot make a folder read-only here";
    EXPECT_TRUE(launched);
    EXPECT_EQ(Launched(), (QStringList{QStringLiteral("pkexec"), AppDir() + QStringLiteral("/upgrade"),
                                       TempExe() + QStringLiteral(" quorvane_client.exe")}));
    EXPECT_EQ(Tree(AppDir()), QStringList{QStringLiteral("upgrade")});
}

} // namespace
