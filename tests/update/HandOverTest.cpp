#include "server/ClientVersion.h"
#include "server/HttpClient.h"
#include "tests/update/UpgradeFixture.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kVersion = QStringLiteral("99.00.201205281430");
const QString kNeedsAdministrator =
    QStringLiteral("安装新版本需要管理员权限，本次没有升级。\n请让管理员安装新版本，或稍后再试。");
const QString kUpdaterFailed = QStringLiteral("新版本没有安装成功，请稍后再试。");

class HandOverTest : public UpgradeFixture
{
protected:
    HandOverTest()
    {
        // A stand-in updater that writes down its arguments, one a line, and says it is ready.
        WriteExecutable(AppDir() + QStringLiteral("/upgrade"), Recorder(QString(), "echo ready"));
    }

    QString Record() const { return profile_.Root() + QStringLiteral("/launched.txt"); }

    // A shell script that writes `firstLine` (when given) and its arguments to Record() in one
    // step, then runs `then`.
    QByteArray Recorder(const QString& firstLine, const QByteArray& then) const
    {
        const QByteArray record = QFile::encodeName(Record());
        QByteArray script = "#!/bin/sh\n{ ";
        if (!firstLine.isEmpty())
            script += "echo " + firstLine.toUtf8() + "; ";
        script += "for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '" + record + ".part' && mv '" +
                  record + ".part' '" + record + "'\n" + then + "\n";
        return script;
    }

    // What the updater was started with; empty when nothing was started.
    QStringList Launched()
    {
        if (!QFile::exists(Record()))
            return {};
        QStringList lines = QString::fromUtf8(ReadBytes(Record())).split(QLatin1Char('\n'));
        lines.removeAll(QString());
        QFile::remove(Record());
        return lines;
    }

    // Puts a stand-in pkexec first on the PATH until the test ends.
    void FakePkexec(const QByteArray& then)
    {
        const QString bin = profile_.Root() + QStringLiteral("/bin");
        WriteExecutable(bin + QStringLiteral("/pkexec"), Recorder(QStringLiteral("pkexec"), then));
        savedPath_ = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin) + ':' + savedPath_);
    }

    ~HandOverTest() override
    {
        if (!savedPath_.isEmpty())
            qputenv("PATH", savedPath_);
    }

    // ApplyPendingUpgrade with the application folder closed to this process, which asks for
    // elevation; nothing when the folder cannot be protected here.
    std::optional<bool> ApplyInProtectedFolder()
    {
        const ProtectedFolder protectedFolder(AppDir());
        if (!protectedFolder.Ok())
            return std::nullopt;
        return upgrade_.ApplyPendingUpgrade();
    }

    QByteArray savedPath_;
};

TEST_F(HandOverTest, WritesFiveKeysAndKeepsTheRest)
{
    TempProfile::WriteFile(UpgradeFile(), "; kept\n[Other]\nx=1\n[Common]\nextra=keep me\nversionNo=old\n");
    upgrade_.WriteUpgradeInfo(
        {QStringLiteral("/c/a b/quorvane_client.exe"), QStringLiteral("quorvane_client.exe"),
         QStringLiteral("01.00.201205281430\r\n"), QStringLiteral("12"), QStringLiteral("ab12")});
    UpgradeInfo info = upgrade_.ReadUpgradeInfo();
    EXPECT_EQ(info.fileName, QStringLiteral("/c/a b/quorvane_client.exe"));
    EXPECT_EQ(info.dstFileName, QStringLiteral("quorvane_client.exe"));
    // A line end cannot live in an INI value; the first 18 characters are what counts.
    EXPECT_EQ(info.versionNo.left(18), QStringLiteral("01.00.201205281430"));
    EXPECT_EQ(info.fileSize, QStringLiteral("12"));
    EXPECT_EQ(info.fileSha256, QStringLiteral("ab12"));

    upgrade_.WriteUpgradeInfo(
        {QStringLiteral("/t/new.exe"), QStringLiteral("new.exe"), QStringLiteral("02"), {}, {}});
    info = upgrade_.ReadUpgradeInfo();
    EXPECT_EQ(info.fileName, QStringLiteral("/t/new.exe"));
    EXPECT_EQ(info.versionNo, QStringLiteral("02"));
    EXPECT_TRUE(info.fileSha256.isEmpty());
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

TEST_F(HandOverTest, CommandLineIsNotQuotedWhenTheStagingPathHasSpaces)
{
    const QString spaced = profile_.Root() + QStringLiteral("/my cache folder");
    QDir().mkpath(spaced);
    qputenv("XDG_CACHE_HOME", QFile::encodeName(spaced)); // TempProfile puts it back
    StageProgram("new client", kVersion);

    const UpgradeInfo info = upgrade_.ReadUpgradeInfo();
    EXPECT_TRUE(info.fileName.startsWith(spaced + QStringLiteral("/quorvane/update-")));
    const QString commandLine = info.fileName + QStringLiteral(" quorvane_client.exe");
    EXPECT_EQ(TUpgrade::UpdaterCommandLine(info), commandLine);
    ASSERT_TRUE(upgrade_.ApplyPendingUpgrade());
    EXPECT_EQ(Launched(), QStringList{commandLine}); // one argument, as it stands
    EXPECT_TRUE(notices_.isEmpty());
}

TEST_F(HandOverTest, CanWriteDirLeavesNoProbeBehind)
{
    EXPECT_TRUE(upgrade_.CanWriteDir(AppDir()));
    EXPECT_EQ(Tree(AppDir()), QStringList{QStringLiteral("upgrade")});

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

TEST_F(HandOverTest, ARecordThatIsNotNewerIsDroppedWithItsStaging)
{
    if (CLIENT_VERSION != QLatin1String("01.00.201205281429"))
        GTEST_SKIP() << "this build calls itself " << CLIENT_VERSION.toStdString();
    EXPECT_FALSE(upgrade_.ApplyPendingUpgrade()); // no hand-over file at all
    for (const QString& versionNo :
         {QString(), QStringLiteral("0"), CLIENT_VERSION, QStringLiteral("01.00.201205281428")}) {
        StageProgram("new client", kVersion);
        UpgradeInfo info = upgrade_.ReadUpgradeInfo();
        info.versionNo = versionNo;
        upgrade_.WriteUpgradeInfo(info);
        EXPECT_FALSE(upgrade_.ApplyPendingUpgrade()) << versionNo.toStdString();
        EXPECT_TRUE(upgrade_.ReadUpgradeInfo().fileName.isEmpty());
        EXPECT_EQ(Stagings(), QStringList());
    }
    EXPECT_EQ(Launched(), QStringList());
}

// Whatever changed in the staging after the record was written, the updater is not started, and
// the record and the staging are gone, so no later start tries again.
TEST_F(HandOverTest, AStagingChangedAfterTheHandOverIsRefused)
{
    const struct
    {
        const char* what;
        std::function<void(const UpgradeInfo&)> change;
        bool needsRoot;
    } cases[] = {
        {"program bytes changed",
         [](const UpgradeInfo& info) { TempProfile::WriteFile(info.fileName, "evil clien"); }, false},
        {"program writable by others",
         [](const UpgradeInfo& info) { chmod(QFile::encodeName(info.fileName).constData(), 0666); }, false},
        {"program given to another user",
         [](const UpgradeInfo& info) {
             (void)chown(QFile::encodeName(info.fileName).constData(), 12345, 12345);
         },
         true},
        {"program with a second name",
         [this](const UpgradeInfo& info) {
             link(QFile::encodeName(info.fileName).constData(),
                  QFile::encodeName(profile_.CacheHome() + QStringLiteral("/second-name")).constData());
         },
         false},
        {"staging folder opened to others",
         [](const UpgradeInfo& info) {
             chmod(QFile::encodeName(QFileInfo(QFileInfo(info.fileName).absolutePath()).absolutePath())
                       .constData(),
                   0777);
         },
         false},
        {"record with another hash",
         [this](const UpgradeInfo& info) {
             UpgradeInfo changed = info;
             changed.fileSha256 = QString(64, QLatin1Char('0'));
             upgrade_.WriteUpgradeInfo(changed);
         },
         false},
        {"a record of the old kind, naming the temporary folder",
         [this](const UpgradeInfo& info) {
             TempProfile::WriteFile(profile_.TempDir() + QStringLiteral("/quorvane_client.exe"), "planted");
             upgrade_.WriteUpgradeInfo({profile_.TempDir() + QStringLiteral("/quorvane_client.exe"),
                                        info.dstFileName,
                                        info.versionNo,
                                        {},
                                        {}});
         },
         false},
        {"another destination name",
         [this](const UpgradeInfo& info) {
             UpgradeInfo changed = info;
             changed.dstFileName = QStringLiteral("upgrade");
             upgrade_.WriteUpgradeInfo(changed);
         },
         false},
    };
    for (const auto& c : cases) {
        if (c.needsRoot && geteuid() != 0)
            continue;
        SCOPED_TRACE(c.what);
        StageProgram("new client", kVersion);
        const QString staging = QFileInfo(QFileInfo(StagedProgram()).absolutePath()).absolutePath();
        c.change(upgrade_.ReadUpgradeInfo());
        EXPECT_FALSE(upgrade_.ApplyPendingUpgrade());
        EXPECT_EQ(Launched(), QStringList());
        EXPECT_TRUE(upgrade_.ReadUpgradeInfo().fileName.isEmpty());
        EXPECT_TRUE(notices_.isEmpty());
        if (QString::fromUtf8(c.what).startsWith(QStringLiteral("staging folder")))
            chmod(QFile::encodeName(staging).constData(), 0700); // not ours to remove once opened up
        QDir(staging).removeRecursively();
        QFile::remove(profile_.CacheHome() + QStringLiteral("/second-name"));
    }
}

// When the administrator prompt is dismissed (126) or refused (127), the client keeps running,
// says so once and forgets the record: the next start does not prompt again.
TEST_F(HandOverTest, ARefusedElevationKeepsTheClientAndIsNotRepeated)
{
    for (const QByteArray& code : {QByteArray("126"), QByteArray("127")}) {
        SCOPED_TRACE(code.toStdString());
        FakePkexec("exit " + code);
        StageProgram("new client", kVersion);
        notices_.clear();
        const std::optional<bool> ended = ApplyInProtectedFolder();
        if (!ended)
            GTEST_SKIP() << "cannot make a folder read-only here";
        EXPECT_FALSE(*ended);
        EXPECT_EQ(Launched().first(), QStringLiteral("pkexec"));
        EXPECT_EQ(notices_, QStringList{kNeedsAdministrator});
        EXPECT_EQ(Stagings(), QStringList());
        EXPECT_EQ(ApplyInProtectedFolder(), false);
        EXPECT_EQ(Launched(), QStringList());
        EXPECT_EQ(notices_.size(), 1);
    }
}

TEST_F(HandOverTest, AnAcceptedElevationStartsTheUpdaterThroughPkexec)
{
    FakePkexec("echo ready");
    StageProgram("new client", kVersion);
    const std::optional<bool> ended = ApplyInProtectedFolder();
    if (!ended)
        GTEST_SKIP() << "cannot make a folder read-only here";
    EXPECT_TRUE(*ended);
    EXPECT_EQ(Launched(), (QStringList{QStringLiteral("pkexec"), AppDir() + QStringLiteral("/upgrade"),
                                       StagedProgram() + QStringLiteral(" quorvane_client.exe")}));
    EXPECT_EQ(Tree(AppDir()), QStringList{QStringLiteral("upgrade")});
}

// An updater that ends without saying it is ready has not taken over: the client goes on.
TEST_F(HandOverTest, AnUpdaterThatFailsKeepsTheClient)
{
    WriteExecutable(AppDir() + QStringLiteral("/upgrade"), Recorder(QString(), "exit 5"));
    StageProgram("new client", kVersion);
    EXPECT_FALSE(upgrade_.ApplyPendingUpgrade());
    EXPECT_EQ(Launched().size(), 1);
    EXPECT_EQ(notices_, QStringList{kUpdaterFailed});
    EXPECT_TRUE(upgrade_.ReadUpgradeInfo().fileName.isEmpty());

    QFile::remove(AppDir() + QStringLiteral("/upgrade"));
    StageProgram("new client", kVersion);
    EXPECT_FALSE(upgrade_.ApplyPendingUpgrade()); // no updater to start
}

// A version the updater took back after it failed to start is neither offered nor installed.
TEST_F(HandOverTest, ARolledBackVersionIsNotOfferedAgain)
{
    TempProfile::WriteFile(AppDir() + QStringLiteral("/upgrade-rolled-back.txt"), kVersion.toLatin1() + "\n");
    EXPECT_EQ(upgrade_.RolledBackVersion(), kVersion);
    ServeVersion(kVersion.toLatin1());
    ServeSignedPackage(GcabPackage({{QStringLiteral("quorvane_client.exe"), "new client"}}), kVersion);
    THttpClient http;
    EXPECT_FALSE(upgrade_.CheckAndDownload(http));
    EXPECT_EQ(Stagings(), QStringList());

    // A newer one is offered normally.
    const QString newer = QStringLiteral("99.00.201205281431");
    ServeVersion(newer.toLatin1());
    ServeSignedPackage(GcabPackage({{QStringLiteral("quorvane_client.exe"), "newer client"}}), newer);
    EXPECT_TRUE(upgrade_.CheckAndDownload(http));
}

} // namespace
