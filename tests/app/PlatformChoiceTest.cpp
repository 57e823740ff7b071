#include "app/PlatformChoice.h"

#include <QList>
#include <gtest/gtest.h>
#include <string>

namespace quorvane {

namespace {

struct ChoiceRow
{
    std::string name;
    PlatformSituation situation;
    bool xServerAnswers;
    QByteArray expected;
};

PlatformSituation situation(QByteArray qpaPlatform, bool platformArgument, QByteArray waylandDisplay,
                            QByteArray sessionType, QByteArray display)
{
    return {qpaPlatform, platformArgument, waylandDisplay, sessionType, display};
}

const ChoiceRow kRows[] = {
    {"WaylandWithXWaylandTakesX11", situation("", false, "wayland-0", "", ":1"), true, "xcb"},
    {"WaylandSessionTypeWithXWaylandTakesX11", situation("", false, "", "wayland", ":1"), true, "xcb"},
    {"WaylandWithoutDisplayStaysOnWayland", situation("", false, "wayland-0", "wayland", ""), true, ""},
    {"WaylandWithSilentXServerStaysOnWayland", situation("", false, "wayland-0", "", ":1"), false, ""},
    {"X11SessionIsLeftToQt", situation("", false, "", "x11", ":0"), true, ""},
    {"NoSessionAtAllIsLeftToQt", situation("", false, "", "", ""), false, ""},
    {"UsersWaylandStands", situation("wayland", false, "wayland-0", "", ":1"), true, ""},
    {"UsersListStands", situation("wayland;xcb", false, "wayland-0", "", ":1"), true, ""},
    {"UsersOffscreenStands", situation("offscreen", false, "wayland-0", "", ":1"), true, ""},
    {"PlatformArgumentStands", situation("", true, "wayland-0", "", ":1"), true, ""},
};

class PlatformChoice : public ::testing::TestWithParam<ChoiceRow>
{
};

TEST_P(PlatformChoice, ChoosesTheWindowSystem)
{
    const ChoiceRow& row = GetParam();
    QList<QByteArray> asked;
    const auto reachable = [&](const QByteArray& display) {
        asked.append(display);
        return row.xServerAnswers;
    };
    EXPECT_EQ(chooseWindowSystem(row.situation, reachable), row.expected);
    // The X server is asked only when the answer decides, and only at the DISPLAY given.
    for (const QByteArray& display : asked)
        EXPECT_EQ(display, row.situation.display);
    if (!row.situation.qpaPlatform.isEmpty() || row.situation.platformArgument) {
        EXPECT_TRUE(asked.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Situations, PlatformChoice, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<ChoiceRow>& info) { return info.param.name; });

// The command line takes "-platform" with one dash or two, as Qt does.
TEST(PlatformSituation, ReadsThePlatformArgument)
{
    char program[] = "quorvane_client";
    char oneDash[] = "-platform";
    char twoDashes[] = "--platform";
    char other[] = "-style";
    char value[] = "wayland";
    for (char* option : {oneDash, twoDashes}) {
        char* argv[] = {program, option, value, nullptr};
        EXPECT_TRUE(currentPlatformSituation(3, argv).platformArgument) << option;
    }
    char* argv[] = {program, other, value, nullptr};
    EXPECT_FALSE(currentPlatformSituation(3, argv).platformArgument);
}

// Sets an environment variable (or removes it, for a null value) until the end of the scope.
class ScopedVariable final
{
public:
    ScopedVariable(const char* name, const char* value) : m_name(name), m_previous(qgetenv(name))
    {
        m_wasSet = qEnvironmentVariableIsSet(name);
        if (value)
            qputenv(name, value);
        else
            qunsetenv(name);
    }
    ~ScopedVariable()
    {
        if (m_wasSet)
            qputenv(m_name, m_previous);
        else
            qunsetenv(m_name);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* m_name;
    QByteArray m_previous;
    bool m_wasSet = false;
};

// With the user's own choice the command line reaches the application object as it came, ending
// in a null pointer.
TEST(PlatformArguments, UsersChoiceLeavesTheCommandLineAlone)
{
    const ScopedVariable platform("QT_QPA_PLATFORM", "offscreen");
    const ScopedVariable wayland("WAYLAND_DISPLAY", "wayland-0");
    char program[] = "quorvane_client";
    char option[] = "-style";
    char value[] = "fusion";
    char* argv[] = {program, option, value, nullptr};
    const std::vector<char*> arguments = argumentsWithWindowSystem(3, argv);
    ASSERT_EQ(arguments.size(), 4u);
    EXPECT_EQ(arguments[0], program);
    EXPECT_EQ(arguments[1], option);
    EXPECT_EQ(arguments[2], value);
    EXPECT_EQ(arguments[3], nullptr);
}

// In a Wayland session with a running X server (the one of xvfb-run) the application object is
// told to take X11.
TEST(PlatformArguments, WaylandSessionWithAnXServerTakesX11)
{
    ASSERT_FALSE(qgetenv("DISPLAY").isEmpty()) << "runs under xvfb-run";
    const ScopedVariable platform("QT_QPA_PLATFORM", nullptr);
    const ScopedVariable wayland("WAYLAND_DISPLAY", "wayland-0");
    char program[] = "quorvane_client";
    char* argv[] = {program, nullptr};
    const std::vector<char*> arguments = argumentsWithWindowSystem(1, argv);
    ASSERT_EQ(arguments.size(), 4u);
    EXPECT_EQ(arguments[0], program);
    EXPECT_STREQ(arguments[1], "-platform");
    EXPECT_STREQ(arguments[2], "xcb");
    EXPECT_EQ(arguments[3], nullptr);
}

} // namespace

} // namespace quorvane
