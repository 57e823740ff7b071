#include "config/Util.h"
#include "platform/AnsiCodePage.h"
#include "tests/support/TempProfile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quorvane {

namespace {

const QByteArray kKey = QByteArrayLiteral("r5k83bqhzLm41xp7W2d");

TEST(ScrambleText, KnownVectors)
{
    const struct
    {
        QByteArray key;
        QByteArray data;
        QByteArray scrambled;
    } cases[] = {
        {kKey, "", ""},
        {kKey, "r", "00"}, // a byte equal to its key byte
        {kKey, "abc", "135708"},
        {"K", QByteArray("\xFF\x00", 2), "B44B"},
        {"ab", "abab", "00000000"}, // the key repeats
        {"pRelMoK4vda", "abc_xyz", "11300633351631"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(scrambleText(c.key, c.data), c.scrambled) << c.data.toStdString();
}

TEST(ScrambleText, ChineseTextThroughCodePage936)
{
    const QByteArray ansi = toAnsi(QStringLiteral("密码"));
    ASSERT_EQ(ansi, QByteArrayLiteral("\xC3\xDC\xC2\xEB"));
    const QByteArray scrambled = scrambleText(kKey, ansi);
    EXPECT_EQ(scrambled, QByteArrayLiteral("B1E9A9D3"));
    EXPECT_EQ(fromAnsi(unscrambleText(kKey, scrambled)), QStringLiteral("密码"));
}

TEST(ScrambleText, RoundTripForEveryLengthUpTo512Bytes)
{
    QRandomGenerator random(42);
    for (int length = 0; length <= 512; ++length) {
        QByteArray data(length, Qt::Uninitialized);
        for (char& c : data)
            c = static_cast<char>(random.bounded(256));
        const QByteArray scrambled = scrambleText(kKey, data);
        ASSERT_EQ(scrambled.size(), 2 * length);
        ASSERT_TRUE(QByteArray::fromHex(scrambled).toHex().toUpper() == scrambled);
        ASSERT_EQ(unscrambleText(kKey, scrambled), data) << length;
    }
}

TEST(UnscrambleText, ReadingRules)
{
    const QByteArray key = "AB";
    const struct
    {
        const char* name;
        QByteArray text;
        QByteArray expected;
    } cases[] = {
        {"lower-case digits", "0a0b", QByteArray("\x4B\x49")}, // 0x0A^'A', 0x0B^'B'
        {"upper-case digits", "0A0B", QByteArray("\x4B\x49")},
        {"odd last digit ignored", "0A0B7", QByteArray("\x4B\x49")},
        {"non-hex pair gives key bytes from there on", "0Azz0B",
         QByteArray("\x4B"
                    "BA")},
        {"empty", "", QByteArray()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(unscrambleText(key, c.text), c.expected) << c.name;
}

TEST(UnscrambleText, LongTextIsBoundedBy512Bytes)
{
    const QByteArray data(600, 'x');
    const QByteArray result = unscrambleText(kKey, scrambleText(kKey, data));
    EXPECT_EQ(result, data.left(512));
}

TEST(WriteDebugLog, AppendsTwoLinesPerCallInTheDataFolder)
{
    TempProfile profile;
    const QString log = profile.dataHome() + QStringLiteral("/quorvane/debug.txt");
    EXPECT_EQ(debugLogFile(), log);
    TempProfile::writeFile(log, "earlier\r\n");
    writeDebugLog("Error on longin:first");
    writeDebugLog("");
    // Never in whatever folder the client was started from (the home folder, when autostarted).
    EXPECT_FALSE(QFile::exists(profile.workDir() + QStringLiteral("/debug.txt")));
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 6); // five lines and the empty rest after the last line end
    EXPECT_EQ(lines[0], "earlier\r");
    EXPECT_FALSE(lines[1].trimmed().isEmpty()); // the date and time
    EXPECT_EQ(lines[2], "Error on longin:first\r");
    EXPECT_EQ(lines[4], "\r");
}

TEST(WriteDebugLog, IsTheUsersAloneAndNeverWrittenThroughALink)
{
    TempProfile profile;
    const QString log = profile.dataHome() + QStringLiteral("/quorvane/debug.txt");
    const mode_t mask = umask(022);
    writeDebugLog("first");
    umask(mask);
    struct stat info
    {
    };
    ASSERT_EQ(stat(QFile::encodeName(log).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    // A link in its place is not followed.
    QFile::remove(log);
    const QString elsewhere = profile.root() + QStringLiteral("/elsewhere.txt");
    TempProfile::writeFile(elsewhere, "untouched");
    ASSERT_TRUE(QFile::link(elsewhere, log));
    EXPECT_NO_THROW(writeDebugLog("message"));
    EXPECT_EQ(TempProfile::readFile(elsewhere), QStringLiteral("untouched"));

    // A folder in its place: nothing is written, nothing is raised.
    QFile::remove(log);
    QDir().mkdir(log);
    EXPECT_NO_THROW(writeDebugLog("message"));
}

} // namespace

} // namespace quorvane
