#include "platform/AnsiCodePage.h"

#include <gtest/gtest.h>

namespace quorvane {

namespace {

struct AnsiCase
{
    const char* name;
    QString text;
    QByteArray bytes;
};

class AnsiCodePageTest : public ::testing::TestWithParam<AnsiCase>
{
};

TEST_P(AnsiCodePageTest, EncodesAndDecodes)
{
    const AnsiCase& c = GetParam();
    EXPECT_EQ(toAnsi(c.text), c.bytes);
    EXPECT_EQ(fromAnsi(c.bytes), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AnsiCodePageTest,
    ::testing::Values(AnsiCase{"empty", QString(), QByteArray()},
                      AnsiCase{"ascii", QStringLiteral("abc=1&x"), QByteArrayLiteral("abc=1&x")},
                      AnsiCase{"chinese", QStringLiteral("退出"), QByteArrayLiteral("\xCD\xCB\xB3\xF6")},
                      AnsiCase{"mixed", QStringLiteral("a中b"),
                               QByteArrayLiteral("a\xD6\xD0"
                                                 "b")},
                      AnsiCase{"euro", QStringLiteral("€"), QByteArrayLiteral("\x80")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AnsiCodePage, UnrepresentableCharactersBecomeQuestionMarks)
{
    // Thai and an emoji are outside code page 936; one "?" stands for each character.
    EXPECT_EQ(toAnsi(QStringLiteral("aกb")), QByteArrayLiteral("a?b"));
    EXPECT_EQ(toAnsi(QString::fromUtf8("x\xF0\x9F\x98\x80y")), QByteArrayLiteral("x?y"));
}

TEST(AnsiCodePage, InvalidBytesDecodeToReplacementCharacter)
{
    // A lead byte at the end has no trail byte.
    EXPECT_EQ(fromAnsi(QByteArrayLiteral("ab\xD6")), QStringLiteral("ab") + QChar(0xFFFD));
}

} // namespace

} // namespace quorvane
