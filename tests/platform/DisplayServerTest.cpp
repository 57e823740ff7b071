#include "platform/DisplayServer.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace quorvane {

namespace {

// A display number that no X server of this machine has taken.
QByteArray unusedDisplay()
{
    for (int number = 4999; number > 4900; --number) {
        if (!QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)))
            return ':' + QByteArray::number(number);
    }
    return {};
}

TEST(DisplayServer, TheRunningServerAnswers)
{
    // xvfb-run names its server in DISPLAY.
    const QByteArray display = qgetenv("DISPLAY");
    ASSERT_FALSE(display.isEmpty()) << "runs under xvfb-run";
    EXPECT_TRUE(xServerReachable(display));
}

TEST(DisplayServer, NoServerNoAnswer)
{
    const QByteArray unused = unusedDisplay();
    ASSERT_FALSE(unused.isEmpty());
    EXPECT_FALSE(xServerReachable(unused)) << unused.constData();
    EXPECT_FALSE(xServerReachable(QByteArray()));
    EXPECT_FALSE(xServerReachable("no display at all"));
}

} // namespace

} // namespace quorvane
