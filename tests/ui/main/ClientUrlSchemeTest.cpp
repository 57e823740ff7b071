// The client URL scheme without any window: the prefix, the decoding of "open", which targets
// reach the shell, and the handler's answers.
#include "tests/support/TempProfile.h"
#include "tests/support/TestApplication.h"
#include "tests/ui/main/OpenedUrls.h"
#include "ui/chrome/ClientUrl.h"
#include "ui/main/MainWindow.h"

#include <QUrlQuery>

#include <gtest/gtest.h>
#include <ostream>

namespace quorvane {

namespace {

TEST(ClientUrlPrefix, OnlyTheExactPrefixAtTheStartCounts)
{
    const struct
    {
        const char* url;
        bool client;
    } cases[] = {
        {"vemtraclient://close/", true},
        {"vemtraclient://", true},
        {"vemtraclient://SHOW/?url=x", true},
        {"VEMTRACLIENT://close/", false},
        {"Vemtraclient://close/", false},
        {" vemtraclient://close/", false},
        {"vemtraclient:/close/", false},
        {"vemtraclient:close", false},
        {"http://example.com/?next=vemtraclient://close/", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isClientUrl(QString::fromLatin1(c.url)), c.client) << c.url;
}

TEST(ClientUrlAsWritten, UndoesTheWholesaleEscapingOfTheBrowser)
{
    const struct
    {
        const char* reported;
        const char* written;
    } cases[] = {
        {"vemtraclient://open/?url=http%253A%252F%252Fx.cn%252F%25u6D77",
         "vemtraclient://open/?url=http%3A%2F%2Fx.cn%2F%u6D77"},
        {"vemtraclient://open/?url=%25zz1&w=%2541", "vemtraclient://open/?url=%zz1&w=%41"},
        {"vemtraclient://open/?url=a%25u6D77#frag%25", "vemtraclient://open/?url=a%u6D77#frag%25"},
        // Reported as written: escapes other than "%25", or none that would be stray.
        {"vemtraclient://open/?url=http%3A%2F%2Fx.cn%2F%25E6%25B5",
         "vemtraclient://open/?url=http%3A%2F%2Fx.cn%2F%25E6%25B5"},
        {"vemtraclient://open/?url=%2541", "vemtraclient://open/?url=%2541"},
        {"vemtraclient://close/", "vemtraclient://close/"},
        {"vemtraclient://show/?url=house/list", "vemtraclient://show/?url=house/list"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(clientUrlAsWritten(QString::fromLatin1(c.reported)), QString::fromLatin1(c.written))
            << c.reported;
}

TEST(ClientUrlDecoding, DecodesPercentAndUnicodeEscapesAndDropsMalformedOnes)
{
    const struct
    {
        const char* value;
        const char* decoded; // UTF-8
    } cases[] = {
        {"http%3A%2F%2Fexample.com%2Freport%3Fa%3D1%26b%3D2", "http://example.com/report?a=1&b=2"},
        {"%41%42c", "ABc"},
        {"a+b", "a+b"},
        {"%u6D77%u6dc0", "海淀"},
        {"%U6D77", "海"},
        {"%e9", "é"},
        // Decoded once only.
        {"%2525", "%25"},
        // A sequence that is not hexadecimal goes together with the characters it claimed.
        {"%zz1", "1"},
        {"a%g1b", "ab"},
        {"ab%u12G4cd", "abcd"},
        {"%u12", ""},
        {"100%", "100"},
        {"x%4", "x"},
        // What the code page cannot represent.
        {"%u00E4", "?"},
        {"%u0416", "Ж"},
        // The shell reads up to the first NUL.
        {"http%3A%2F%2Fa.cn%00.evil", "http://a.cn"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decodeClientUrlValue(QString::fromLatin1(c.value)), QString::fromUtf8(c.decoded))
            << c.value;
}

TEST(ClientUrlShellTargets, OnlyWebAndMailAddressesReachTheShell)
{
    const struct
    {
        const char* target;
        bool openable;
    } cases[] = {
        {"http://example.com/", true},
        {"https://x.cn/report?a=1&b=2", true},
        {"HTTP://EXAMPLE.COM/", true},
        {"mailto:info@example.com", true},
        {"http://a.cn/x y", true},
        {"file:///etc/passwd", false},
        {"FILE:///bin/sh", false},
        {"/usr/bin/xterm", false},
        {"xterm", false},
        {"C:\\Windows\\system32\\calc.exe", false},
        {"\\\\server\\share\\setup.exe", false},
        {"javascript:alert(1)", false},
        {"ftp://example.com/", false},
        {"smb://server/share", false},
        {"vemtraclient://close/", false},
        {"http://", false},
        {"mailto:", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isShellOpenable(QString::fromLatin1(c.target)), c.openable) << c.target;
}

// What the handler does with a URL when no main window exists.
struct HandlerCase
{
    const char* name;
    const char* url;
    ClientUrlListener listener;
    bool handled;
    const char* opened; // "" when nothing was handed to the shell
};

std::ostream& operator<<(std::ostream& out, const HandlerCase& c)
{
    return out << c.name;
}

const HandlerCase kHandlerCases[] = {
    {"OpenEncodedInnerQuery", "vemtraclient://open/?url=http%3A%2F%2Fexample.com%2Freport%3Fa%3D1%26b%3D2",
     ClientUrlListener::MainWindow, true, "http://example.com/report?a=1&b=2"},
    {"OpenFromNotification", "vemtraclient://open/?url=https%3A%2F%2Fexample.com%2F",
     ClientUrlListener::NotificationWindow, true, "https://example.com/"},
    {"OpenParameterNameInCapitals", "vemtraclient://open/?URL=http%3A%2F%2Fexample.com%2F",
     ClientUrlListener::MainWindow, true, "http://example.com/"},
    {"OpenMail", "vemtraclient://open/?url=mailto%3Ainfo%40example.com", ClientUrlListener::MainWindow, true,
     "mailto:info@example.com"},
    // An unencoded inner query is cut at its first "&".
    {"OpenUnencodedInnerQuery", "vemtraclient://open/?url=http://example.com/r?a=1&b=2",
     ClientUrlListener::MainWindow, true, "http://example.com/r?a=1"},
    // The parameters' own actionName does not override the action.
    {"OpenWithForgedActionName", "vemtraclient://open/?url=http%3A%2F%2Fexample.com%2F&actionName=close",
     ClientUrlListener::MainWindow, true, "http://example.com/"},
    // As the browser reports a page's "%u" escapes.
    {"OpenEscapedWholesale", "vemtraclient://open/?url=http%253A%252F%252Fexample.com%252F%25u6D77",
     ClientUrlListener::MainWindow, true, "http://example.com/%E6%B5%B7"},
    {"OpenWithoutSlash", "vemtraclient://open?url=http%3A%2F%2Fexample.com%2F", ClientUrlListener::MainWindow,
     true, ""},
    {"OpenInCapitals", "vemtraclient://OPEN/?url=http%3A%2F%2Fexample.com%2F", ClientUrlListener::MainWindow,
     true, ""},
    {"OpenFileTarget", "vemtraclient://open/?url=file%3A%2F%2F%2Fetc%2Fpasswd", ClientUrlListener::MainWindow,
     true, ""},
    {"OpenProgram", "vemtraclient://open/?url=%2Fusr%2Fbin%2Fxterm", ClientUrlListener::NotificationWindow,
     true, ""},
    {"OpenEmptyTarget", "vemtraclient://open/?url=", ClientUrlListener::MainWindow, true, ""},
    {"OpenWithoutTarget", "vemtraclient://open/", ClientUrlListener::MainWindow, true, ""},
    {"UnknownAction", "vemtraclient://launch/?url=http%3A%2F%2Fexample.com%2F", ClientUrlListener::MainWindow,
     true, ""},
    {"CloseWithoutMainWindow", "vemtraclient://close/", ClientUrlListener::MainWindow, true, ""},
    {"UrlInCapitals", "VEMTRACLIENT://open/?url=http%3A%2F%2Fexample.com%2F", ClientUrlListener::MainWindow,
     false, ""},
    {"PrefixInTheMiddleOfAWebAddress",
     "http://example.com/?next=vemtraclient://open/?url=http%3A%2F%2Fexample.com%2F",
     ClientUrlListener::MainWindow, false, ""},
};

class ClientUrlHandlerTest : public ::testing::TestWithParam<HandlerCase>
{
protected:
    void SetUp() override { clearOpenedUrls(); }
    TempProfile m_profile;
};

TEST_P(ClientUrlHandlerTest, CancelsEveryClientUrlAndOpensOnlySafeTargets)
{
    const HandlerCase& c = GetParam();
    EXPECT_EQ(handleClientUrl(QString::fromLatin1(c.url), c.listener), c.handled);
    const QList<QUrl> opened = openedUrls();
    if (*c.opened == '\0') {
        EXPECT_TRUE(opened.isEmpty()) << opened.value(0).toString().toStdString();
        return;
    }
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first(), QUrl(QString::fromLatin1(c.opened)));
}

INSTANTIATE_TEST_SUITE_P(Urls, ClientUrlHandlerTest, ::testing::ValuesIn(kHandlerCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ClientUrlOpen, InnerQueryKeepsItsOwnItems)
{
    clearOpenedUrls();
    handleClientUrl(QStringLiteral("vemtraclient://open/?url=http%3A%2F%2Fexample.com%2Freport%3Fdistrict%3D"
                                   "%u6D77%u6DC0%26month%3D2012-12"),
                    ClientUrlListener::MainWindow);
    ASSERT_EQ(openedUrls().size(), 1);
    const QUrlQuery query(openedUrls().first());
    EXPECT_EQ(query.queryItemValue(QStringLiteral("district")), QStringLiteral("海淀"));
    EXPECT_EQ(query.queryItemValue(QStringLiteral("month")), QStringLiteral("2012-12"));
}

} // namespace

} // namespace quorvane
