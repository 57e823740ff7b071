#include "config/Util.h"

#include <gtest/gtest.h>

namespace quorvane {

namespace {

struct ParseCase
{
    const char* name;
    QString url;
    QStringList entries;
};

void PrintTo(const ParseCase& c, std::ostream* os)
{
    *os << c.name;
}

class ParseClientUrlTest : public ::testing::TestWithParam<ParseCase>
{
};

TEST_P(ParseClientUrlTest, GivesEntriesInOrder)
{
    EXPECT_EQ(parseClientUrl(GetParam().url).entries(), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    CommaTextRule, ParseClientUrlTest,
    ::testing::Values(
        ParseCase{"open_with_query", "vemtraclient://open/?url=x&w=1", {"actionName=open", "url=x", "w=1"}},
        ParseCase{"close_alone", "vemtraclient://close", {"actionName=close", ""}},
        ParseCase{"close_slash", "vemtraclient://close/", {"actionName=close", ""}},
        ParseCase{"query_without_slash", "vemtraclient://close?x=1", {"actionName=close?x=1", "x=1"}},
        ParseCase{"blank_splits_a_value",
                  "vemtraclient://show/?url=a b&c=d",
                  {"actionName=show", "url=a", "b", "c=d"}},
        ParseCase{"percent_kept",
                  "vemtraclient://open/?url=http%3A%2F%2Fx",
                  {"actionName=open", "url=http%3A%2F%2Fx"}},
        ParseCase{"empty_items", "vemtraclient://open/?a=1&&b=2", {"actionName=open", "a=1", "", "b=2"}},
        ParseCase{"trailing_ampersand", "vemtraclient://open/?a=1&", {"actionName=open", "a=1", ""}},
        ParseCase{"quoted_value",
                  "vemtraclient://open/?\"u=a,b\"\"c\"&d=1",
                  {"actionName=open", "u=a,b\"c", "d=1"}},
        ParseCase{"unclosed_quote", "vemtraclient://open/?\"u=a b", {"actionName=open", "u=a b"}},
        ParseCase{"other_scheme", "http://open/?a=1", {"actionName=", ""}},
        ParseCase{"prefix_case_matters", "VEMTRACLIENT://open/?a=1", {"actionName=", ""}},
        ParseCase{"unrepresentable_character", "vemtraclient://open/?t=aกb", {"actionName=open", "t=a?b"}},
        ParseCase{"chinese_kept", "vemtraclient://show/?t=房价", {"actionName=show", "t=房价"}}),
    [](const auto& info) { return std::string(info.param.name); });

class ParseUrlQueryTest : public ::testing::TestWithParam<ParseCase>
{
};

TEST_P(ParseUrlQueryTest, GivesEntriesInOrder)
{
    EXPECT_EQ(parseUrlQuery(GetParam().url).entries(), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    CommaTextRule, ParseUrlQueryTest,
    ::testing::Values(ParseCase{"simple", "a?x=1&y=2", {"x=1", "y=2"}},
                      ParseCase{"blank_splits", "http://h/p?x=1 2&y=3", {"x=1", "2", "y=3"}},
                      ParseCase{"no_question_mark", "x=1&y=2", {"x=1", "y=2"}},
                      ParseCase{"only_first_question_mark", "h?a=1?b&c=2", {"a=1?b", "c=2"}},
                      ParseCase{"leading_blanks_skipped", "h?  a=1", {"a=1"}},
                      ParseCase{"empty_query", "h?", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NameValueList, LooksUpByNameRegardlessOfCase)
{
    const NameValueList list =
        parseClientUrl(QStringLiteral("vemtraclient://open/?URL=x=y&w=1&plain&url=second"));
    EXPECT_EQ(list.value(QStringLiteral("ACTIONNAME")), QStringLiteral("open"));
    EXPECT_EQ(list.value(QStringLiteral("url")),
              QStringLiteral("x=y")); // the first match, split at the first "="
    EXPECT_EQ(list.value(QStringLiteral("W")), QStringLiteral("1"));
    EXPECT_EQ(list.value(QStringLiteral("plain")), QString()); // entries without "=" never match
    EXPECT_EQ(list.value(QStringLiteral("missing")), QString());
}

} // namespace

} // namespace quorvane
