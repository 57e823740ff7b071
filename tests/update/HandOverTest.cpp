#include "server/ClientVersion.h"
#include "server/HttpClient.h"
#include "tests/update/SelfUpdateFixture.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {

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
        writeExecutable(appDir() + QStringLiteral("/upgrade"), recorder(QString(), "echo ready"));
    }

    QString record() const { return m_profile.root() + QStringLiteral("/launched.txt"); }

    // A shell script that writes `firstLine` (when given) and its arguments to Record() in one
    // step, then runs `then`.
    QByteArray recorder(const QString& firstLine, const QByteArray& then) const
    {
        const QByteArray record = QFile::encodeName(this->record());
        QByteArray script = "#!/bin/sh\n{ ";
        if (!firstLine.isEmpty())
            script += "echo " + firstLine.toUtf8() + "; ";
        script += "for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '" + record + ".part' && mv '" +
                  record + ".part' '" + record + "'\n" + then + "\n";
        return script;
    }

    // What the updater was started with; empty when nothing was started.
    QStringList launched()
    {
        if (!QFile::exists(record()))
            return {};
        QStringList lines = QString::fromUtf8(readBytes(record())).split(QLatin1Char('\n'));
        lines.removeAll(QString());
        QFile::remove(record());
        return lines;
    }

    // Puts a stand-in pkexec first on the PATH until the test ends.
    void fakePkexec(const QByteArray& then)
    {
        const QString bin = m_profile.root() + QStringLiteral("/bin");
        writeExecutable(bin + QStringLiteral("/pkexec"), recorder(QStringLiteral("pkexec"), then));
        m_savedPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin) + ':' + m_savedPath);
    }

    ~HandOverTest() override
    {
        if (!m_savedPath.isEmpty())
            qputenv("PATH", m_savedPath);
    }

    // applyPendingUpgrade with the application folder closed to this process, which asks for
    // elevation; nothing when the folder cannot be protected here.
    std::optional<bool> applyInProtectedFolder()
    {
        const ProtectedFolder protectedFolder(appDir());
        if (!protectedFolder.ok())
            return std::nullopt;
        return m_upgrade.applyPendingUpgrade();
    }

    QByteArray m_savedPath;
};

TEST_F(HandOverTest, WritesFiveKeysAndKeepsTheRest)
{
    TempProfile::writeFile(upgradeFile(), "; kept\n[Other]\nx=1\n[Common]\nextra=keep me\nversionNo=old\n");
    m_upgrade.writeUpgradeInfo(
        {QStringLiteral("/c/a b/quorvane_client.exe"), QStringLiteral("quorvane_client.exe"),
         QStringLiteral("01.00.201205281430\r\n"), QStringLiteral("12"), QStringLiteral("ab12")});
    UpgradeInfo info = m_upgrade.readUpgradeInfo();
    EXPECT_EQ(info.fileName, QStringLiteral("/c/a b/quorvane_client.exe"));
    EXPECT_EQ(info.dstFileName, QStringLiteral("quorvane_client.exe"));
    // A line end cannot live in an INI value; the first 18 characters are what counts.
    EXPECT_EQ(info.versionNo.left(18), QStringLiteral("01.00.201205281430"));
    EXPECT_EQ(info.fileSize, QStringLiteral("12"));
    EXPECT_EQ(info.fileSha256, QStringLiteral("ab12"));

    m_upgrade.writeUpgradeInfo(
        {QStringLiteral("/t/new.exe"), QStringLiteral("new.exe"), QStringLiteral("02"), {}, {}});
    info = m_upgrade.readUpgradeInfo();
    EXPECT_EQ(info.fileName, QStringLiteral("/t/new.exe"));
    EXPECT_EQ(info.versionNo, QStringLiteral("02"));
    EXPECT_TRUE(info.fileSha256.isEmpty());
    const QString text = QString::fromUtf8(readBytes(upgradeFile()));
    EXPECT_TRUE(text.contains(QStringLiteral("; kept\n[Other]\nx=1\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("extra=keep me")));
    EXPECT_EQ(text.count(QStringLiteral("versionNo=")), 1);
}

TEST_F(HandOverTest, MissingFileOrKeysReadEmpty)
{
    UpgradeInfo info = m_upgrade.readUpgradeInfo();
    EXPECT_TRUE(info.fileName.isEmpty() && info.dstFileName.isEmpty() && info.versionNo.isEmpty());
    TempProfile::writeFile(upgradeFile(), "[common]\nFILENAME=/x\n");
    info = m_upgrade.readUpgradeInfo();
    EXPECT_EQ(info.fileName, QStringLiteral("/x"));
    EXPECT_TRUE(info.versionNo.isEmpty());
    EXPECT_EQ(m_upgrade.getUpgradeDir(), m_profile.dataHome() + QStringLiteral("/quorvane"));
}

TEST_F(HandOverTest, CommandLineIsNotQuotedWhenTheStagingPathHasSpaces)
{
    const QString spaced = m_profile.root() + QStringLiteral("/my cache folder");
    QDir().mkpath(spaced);
    qputenv("XDG_CACHE_HOME", QFile::encodeName(spaced)); // TempProfile puts it back
    stageProgram("new client", kVersion);

    const UpgradeInfo info = m_upgrade.readUpgradeInfo();
    EXPECT_TRUE(info.fileName.startsWith(spaced + QStringLiteral("/quorvane/update-")));
    const QString commandLine = info.fileName + QStringLiteral(" quorvane_client.exe");
    EXPECT_EQ(SelfUpdate::updaterCommandLine(info), commandLine);
    ASSERT_TRUE(m_upgrade.applyPendingUpgrade());
    EXPECT_EQ(launched(), QStringList{commandLine}); // one argument, as it stands
    EXPECT_TRUE(m_notices.isEmpty());
}

TEST_F(HandOverTest, CanWriteDirLeavesNoProbeBehind)
{
    EXPECT_TRUE(m_upgrade.canWriteDir(appDir()));
    EXPECT_EQ(tree(appDir()), QStringList{QStringLiteral("upgrade")});

    // A "test.tmp" of the user's own is neither emptied nor removed.
    TempProfile::writeFile(appDir() + QStringLiteral("/test.tmp"), "mine");
    EXPECT_TRUE(m_upgrade.canWriteDir(appDir()));
    EXPECT_EQ(readBytes(appDir() + QStringLiteral("/test.tmp")), QByteArray("mine"));
    QFile::remove(appDir() + QStringLiteral("/test.tmp"));

    EXPECT_FALSE(m_upgrade.canWriteDir(m_profile.root() + QStringLiteral("/missing")));
    const ProtectedFolder protectedFolder(appDir());
    if (!protectedFolder.ok())
        GTEST_SKIP() << "cannot make a folder read-only here";
    EXPECT_FALSE(m_upgrade.canWriteDir(appDir()));
    EXPECT_EQ(tree(appDir()), QStringList{QStringLiteral("upgrade")});
}

TEST_F(HandOverTest, ARecordThatIsNotNewerIsDroppedWithItsStaging)
{
    if (CLIENT_VERSION != QLatin1String("01.00.201205281429"))
        GTEST_SKIP() << "this build calls itself " << CLIENT_VERSION.toStdString();
    EXPECT_FALSE(m_upgrade.applyPendingUpgrade()); // no hand-over file at all
    for (const QString& versionNo :
         {QString(), QStringLiteral("0"), CLIENT_VERSION, QStringLiteral("01.00.201205281428")}) {
        stageProgram("new client", kVersion);
        UpgradeInfo info = m_upgrade.readUpgradeInfo();
        info.versionNo = versionNo;
        m_upgrade.writeUpgradeInfo(info);
        EXPECT_FALSE(m_upgrade.applyPendingUpgrade()) << versionNo.toStdString();
        EXPECT_TRUE(m_upgrade.readUpgradeInfo().fileName.isEmpty());
        EXPECT_EQ(stagings(), QStringList());
    }
    EXPECT_EQ(launched(), QStringList());
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
         [](const UpgradeInfo& info) { TempProfile::writeFile(info.fileName, "evil clien"); }, false},
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
                  QFile::encodeName(m_profile.cacheHome() + QStringLiteral("/second-name")).constData());
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
             m_upgrade.writeUpgradeInfo(changed);
         },
         false},
        {"a record of the old kind, naming the temporary folder",
         [this](const UpgradeInfo& info) {
             TempProfile::writeFile(m_profile.tempDir() + QStringLiteral("/quorvane_client.exe"), "planted");
             m_upgrade.writeUpgradeInfo({m_profile.tempDir() + QStringLiteral("/quorvane_client.exe"),
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
             m_upgrade.writeUpgradeInfo(changed);
         },
         false},
    };
    for (const auto& c : cases) {
        if (c.needsRoot && geteuid() != 0)
            continue;
        SCOPED_TRACE(c.what);
        stageProgram("new client", kVersion);
        const QString staging = QFileInfo(QFileInfo(stagedProgram()).absolutePath()).absolutePath();
        c.change(m_upgrade.readUpgradeInfo());
        EXPECT_FALSE(m_upgrade.applyPendingUpgrade());
        EXPECT_EQ(launched(), QStringList());
        EXPECT_TRUE(m_upgrade.readUpgradeInfo().fileName.isEmpty());
        EXPECT_TRUE(m_notices.isEmpty());
        if (QString::fromUtf8(c.what).startsWith(QStringLiteral("staging folder")))
            chmod(QFile::encodeName(staging).constData(), 0700); // not ours to remove once opened up
        QDir(staging).removeRecursively();
        QFile::remove(m_profile.cacheHome() + QStringLiteral("/second-name"));
    }
}

// When the administrator prompt is dismissed (126) or refused (127), the client keeps running,
// says so once and forgets the record: the next start does not prompt again.
TEST_F(HandOverTest, ARefusedElevationKeepsTheClientAndIsNotRepeated)
{
    for (const QByteArray& code : {QByteArray("126"), QByteArray("127")}) {
        SCOPED_TRACE(code.toStdString());
        fakePkexec("exit " + code);
        stageProgram("new client", kVersion);
        m_notices.clear();
        const std::optional<bool> ended = applyInProtectedFolder();
        if (!ended)
            GTEST_SKIP() << "cannot make a folder read-only here";
        EXPECT_FALSE(*ended);
        EXPECT_EQ(launched().first(), QStringLiteral("pkexec"));
        EXPECT_EQ(m_notices, QStringList{kNeedsAdministrator});
        EXPECT_EQ(stagings(), QStringList());
        EXPECT_EQ(applyInProtectedFolder(), false);
        EXPECT_EQ(launched(), QStringList());
        EXPECT_EQ(m_notices.size(), 1);
    }
}

TEST_F(HandOverTest, AnAcceptedElevationStartsTheUpdaterThroughPkexec)
{
    fakePkexec("echo ready");
    stageProgram("new client", kVersion);
    const std::optional<bool> ended = applyInProtectedFolder();
    if (!ended)
        GTEST_SKIP() << "cannot make a folder read-only here";
    EXPECT_TRUE(*ended);
    EXPECT_EQ(launched(), (QStringList{QStringLiteral("pkexec"), appDir() + QStringLiteral("/upgrade"),
                                       stagedProgram() + QStringLiteral(" quorvane_client.exe")}));
    EXPECT_EQ(tree(appDir()), QStringList{QStringLiteral("upgrade")});
}

// An updater that ends without saying it is ready has not taken over: the client goes on.
TEST_F(HandOverTest, AnUpdaterThatFailsKeepsTheClient)
{
    writeExecutable(appDir() + QStringLiteral("/upgrade"), recorder(QString(), "exit 5"));
    stageProgram("new client", kVersion);
    EXPECT_FALSE(m_upgrade.applyPendingUpgrade());
    EXPECT_EQ(launched().size(), 1);
    EXPECT_EQ(m_notices, QStringList{kUpdaterFailed});
    EXPECT_TRUE(m_upgrade.readUpgradeInfo().fileName.isEmpty());

    QFile::remove(appDir() + QStringLiteral("/upgrade"));
    stageProgram("new client", kVersion);
    EXPECT_FALSE(m_upgrade.applyPendingUpgrade()); // no updater to start
}

// A version the updater took back after it failed to start is neither offered nor installed.
TEST_F(HandOverTest, ARolledBackVersionIsNotOfferedAgain)
{
    TempProfile::writeFile(appDir() + QStringLiteral("/upgrade-rolled-back.txt"), kVersion.toLatin1() + "\n");
    EXPECT_EQ(m_upgrade.rolledBackVersion(), kVersion);
    serveVersion(kVersion.toLatin1());
    serveSignedPackage(gcabPackage({{QStringLiteral("quorvane_client.exe"), "new client"}}), kVersion);
    HttpClient http;
    EXPECT_FALSE(m_upgrade.checkAndDownload(http));
    EXPECT_EQ(stagings(), QStringList());

    // A newer one is offered normally.
    const QString newer = QStringLiteral("99.00.201205281431");
    serveVersion(newer.toLatin1());
    serveSignedPackage(gcabPackage({{QStringLiteral("quorvane_client.exe"), "newer client"}}), newer);
    EXPECT_TRUE(m_upgrade.checkAndDownload(http));
}

} // namespace

} // namespace quorvane
