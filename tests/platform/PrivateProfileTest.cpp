#include "platform/PrivateProfile.h"
#include "platform/Failure.h"
#include "tests/support/TempProfile.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace quorvane {

namespace {

class PrivateProfileTest : public ::testing::Test
{
protected:
    QString ini() const { return m_profile.root() + QStringLiteral("/test.ini"); }
    QByteArray bytes() const
    {
        QFile f(ini());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void write(const QByteArray& content) const { TempProfile::writeFile(ini(), content); }
    QString read(const char* key, const char* fallback = "<none>") const
    {
        return readProfileString(ini(), QStringLiteral("Common"), QString::fromLatin1(key),
                                 QString::fromLatin1(fallback));
    }

    TempProfile m_profile;
};

TEST_F(PrivateProfileTest, MissingFileReadsDefaultsAndFirstWriteCreatesIt)
{
    EXPECT_EQ(read("uname", "dflt"), QStringLiteral("dflt"));
    EXPECT_EQ(readProfileInt(ini(), QStringLiteral("Common"), QStringLiteral("handle"), -1), -1);
    writeProfileString(ini(), QStringLiteral("Common"), QStringLiteral("uname"), QStringLiteral("a@b.c"));
    EXPECT_EQ(bytes(), QByteArrayLiteral("[Common]\nuname=a@b.c\n"));
    EXPECT_EQ(read("uname"), QStringLiteral("a@b.c"));
}

TEST_F(PrivateProfileTest, SectionsAndKeysIgnoreLetterCase)
{
    write("[common]\r\nUName=x\r\n");
    EXPECT_EQ(read("uname"), QStringLiteral("x"));
    writeProfileString(ini(), QStringLiteral("COMMON"), QStringLiteral("uname"), QStringLiteral("y"));
    EXPECT_EQ(bytes(), QByteArrayLiteral("[common]\r\nuname=y\r\n"));
}

TEST_F(PrivateProfileTest, WriteKeepsEveryOtherByte)
{
    const QByteArray before = "; a comment\r\n[Other]\r\nuname=other\r\n\r\n[Common]\r\n  handle = 5 \r\n"
                              "odd line\r\n\r\n[Last]\r\nk=v";
    write(before);
    writeProfileString(ini(), QStringLiteral("Common"), QStringLiteral("handle"), QStringLiteral("7"));
    QByteArray expected = before;
    expected.replace("  handle = 5 ", "handle=7");
    EXPECT_EQ(bytes(), expected);

    // A new key goes after the last line of its section, in the file's own line ending.
    writeProfileString(ini(), QStringLiteral("Common"), QStringLiteral("uname"), QStringLiteral("me"));
    expected.replace("odd line\r\n", "odd line\r\nuname=me\r\n");
    EXPECT_EQ(bytes(), expected);

    // A new section goes at the end, after the unterminated last line.
    writeProfileString(ini(), QStringLiteral("New"), QStringLiteral("a"), QStringLiteral("b"));
    EXPECT_EQ(bytes(), expected + "\r\n[New]\r\na=b\r\n");
}

TEST_F(PrivateProfileTest, ValuesAreTrimmedUnquotedAndBounded)
{
    write("[Common]\nq=\"quoted value\"\nblank=   \nlong=" + QByteArray(3000, 'x') + "\n");
    EXPECT_EQ(read("q"), QStringLiteral("quoted value"));
    EXPECT_EQ(read("blank"), QString());
    EXPECT_EQ(read("long").size(), 2047);
}

TEST_F(PrivateProfileTest, IntegersFallBackToTheDefaultWhenNotANumber)
{
    write("[Common]\na=12\nb=-3\nc=abc\nd=\ne=12abc\nf= 42 \n");
    const struct
    {
        const char* key;
        int expected;
    } cases[] = {{"a", 12}, {"b", -3}, {"c", 99}, {"d", 99}, {"e", 99}, {"f", 42}, {"missing", 99}};
    for (const auto& c : cases)
        EXPECT_EQ(readProfileInt(ini(), QStringLiteral("Common"), QString::fromLatin1(c.key), 99), c.expected)
            << c.key;
}

TEST_F(PrivateProfileTest, TextIsStoredInCodePage936)
{
    writeProfileString(ini(), QStringLiteral("Common"), QStringLiteral("uname"), QStringLiteral("张三"));
    EXPECT_EQ(bytes(), QByteArrayLiteral("[Common]\nuname=\xD5\xC5\xC8\xFD\n"));
    EXPECT_EQ(read("uname"), QStringLiteral("张三"));
}

// Found by fuzzing: in code page 936 the second byte of a Chinese character may be "]" (U+603E
// is 0x90 0x5D), which must not end a section name.
TEST_F(PrivateProfileTest, SectionNamesMayHoldCharactersWhoseSecondByteIsABracket)
{
    const QString section = QStringLiteral("设置\u603E二");
    writeProfileString(ini(), section, QStringLiteral("k"), QStringLiteral("1"));
    writeProfileString(ini(), section, QStringLiteral("k"), QStringLiteral("2"));
    EXPECT_EQ(bytes(), QByteArrayLiteral("[\xC9\xE8\xD6\xC3\x90\x5D\xB6\xFE]\nk=2\n"));
    EXPECT_EQ(readProfileString(ini(), section, QStringLiteral("k"), QString()), QStringLiteral("2"));
    EXPECT_EQ(
        readProfileString(ini(), QStringLiteral("设置\u603E"), QStringLiteral("k"), QStringLiteral("none")),
        QStringLiteral("none"));
}

TEST_F(PrivateProfileTest, LineBreaksInAValueCannotAddKeys)
{
    writeProfileString(ini(), QStringLiteral("Common"), QStringLiteral("uname"),
                       QStringLiteral("x\nauto_login=1"));
    EXPECT_EQ(read("auto_login"), QStringLiteral("<none>"));
    EXPECT_EQ(read("uname"), QStringLiteral("x auto_login=1"));
}

TEST_F(PrivateProfileTest, RefusedWriteRaisesAFailureNamingTheFileAndKeepsTheOldFile)
{
    write("[Common]\nuname=keep\n");
    // A folder where the replacement file would be created makes the write fail.
    const QString blocked = m_profile.root() + QStringLiteral("/blocked");
    QDir().mkpath(blocked + QStringLiteral("/test.ini"));
    try {
        writeProfileString(blocked + QStringLiteral("/test.ini"), QStringLiteral("Common"),
                           QStringLiteral("k"), QStringLiteral("v"));
        FAIL() << "no failure raised";
    } catch (const Failure& failure) {
        EXPECT_TRUE(failure.message().contains(blocked + QStringLiteral("/test.ini")))
            << failure.message().toStdString();
    }
    EXPECT_EQ(read("uname"), QStringLiteral("keep"));
    // The write replaces the file whole: no temporary file is left beside it.
    writeProfileString(ini(), QStringLiteral("Common"), QStringLiteral("uname"), QStringLiteral("new"));
    EXPECT_EQ(QDir(m_profile.root()).entryList(QDir::Files), QStringList{QStringLiteral("test.ini")});
}

} // namespace

} // namespace quorvane
