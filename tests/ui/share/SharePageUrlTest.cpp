#include "ui/share/SharePageUrl.h"

#include "config/ShareHosts.h"

#include <gtest/gtest.h>

namespace quorvane {

namespace {

TEST(SharePageUrlTest, RecognisesThePagesOfBothShareHosts)
{
    const struct
    {
        const char* url;
        bool share;
        bool success;
    } cases[] = {
        {"http://service.weibo.com/share/share.php", true, false},
        {"http://service.weibo.com/share/share.php?url=x&shareType=3", true, false},
        {"http://v.t.sina.com.cn/share/share.php?shareType=1", true, false},
        {"http://service.weibo.com/share/success.php", false, true},
        {"http://v.t.sina.com.cn/share/success.php?urlpara=x", false, true},
        // Matched at the start, with exact letter case.
        {"http://service.weibo.com/Share/share.php", false, false},
        {"HTTP://service.weibo.com/share/share.php", false, false},
        {"https://service.weibo.com/share/share.php", false, false},
        {"http://service.weibo.com:80/share/share.php", false, false},
        {"http://weibo.com/share/share.php", false, false},
        {"http://service.weibo.com.example.org/share/share.php", false, false},
        {"http://127.0.0.1/go?to=http://service.weibo.com/share/share.php", false, false},
        {"", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isSharePage(QString::fromLatin1(c.url)), c.share) << c.url;
        EXPECT_EQ(isSuccessPage(QString::fromLatin1(c.url)), c.success) << c.url;
    }
}

TEST(SharePageUrlTest, ReadsTheShareType)
{
    const struct
    {
        const char* url;
        const char* type;
    } cases[] = {
        {"http://service.weibo.com/share/share.php?url=x&shareType=3", "3"},
        {"http://service.weibo.com/share/share.php?sharetype=1&url=x", "1"},
        {"http://service.weibo.com/share/share.php?url=x", ""},
        {"http://service.weibo.com/share/share.php", ""},
        {"http://service.weibo.com/share/share.php?shareType=", ""},
        {"http://service.weibo.com/share/share.php?shareType=2&shareType=3", "2"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(getShareType(QString::fromLatin1(c.url)), QString::fromLatin1(c.type)) << c.url;
}

TEST(SharePageUrlTest, ReadsTheTypeOfTheSharedAddress)
{
    const struct
    {
        const char* url;
        const char* type;
    } cases[] = {
        {"http://service.weibo.com/share/"
         "success.php?urlpara=http%3A%2F%2Fh%2Fdetail%3Fid%3D7%26shareType%3D2",
         "2"},
        {"http://service.weibo.com/share/"
         "success.php?content=a&urlpara=http%3A%2F%2Fh%2Fd%3FshareType%3D3%26id%3D1",
         "3"},
        // The success page's own shareType is not the shared one.
        {"http://service.weibo.com/share/success.php?shareType=9&urlpara=http%3A%2F%2Fh%2Fd%3Fid%3D1", ""},
        {"http://service.weibo.com/share/success.php", ""},
        {"http://service.weibo.com/share/success.php?urlpara=", ""},
        // Query text alone, and the "%u" form of the decoding.
        {"http://service.weibo.com/share/success.php?urlpara=shareType%3D4", "4"},
        {"http://service.weibo.com/share/success.php?urlpara=h%3Fx%3D1%26shareType%3D%u0035", "5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(getSharedType(QString::fromLatin1(c.url)), QString::fromLatin1(c.type)) << c.url;
}

TEST(SharePageUrlTest, TheTwoShareHosts)
{
    EXPECT_EQ(shareHosts(),
              QStringList({QStringLiteral("service.weibo.com"), QStringLiteral("v.t.sina.com.cn")}));
}

} // namespace

} // namespace quorvane
