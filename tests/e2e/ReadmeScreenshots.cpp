// Takes the README's pictures of the signed-in main window and of a notification, from the real
// client against the demo server. Not a test: run it by hand after a change of the look.
//
//   build/tests/e2e/e2e_readme_screenshots [--output=DIR]     (default: docs/ of the sources)
#include "tests/e2e/EndToEndTest.h"

#include <QDir>
#include <QThread>
#include <cstring>
#include <iostream>

namespace quorvane {

namespace {

QString outputDir = QStringLiteral(QUORVANE_DOCS_DIR);

class ReadmeScreenshots : public EndToEndTest
{
protected:
    // Wide enough that the notification at the bottom right leaves the centred main window whole.
    QSize screenSize() const override { return QSize(1680, 1050); }
};

} // namespace

TEST_F(ReadmeScreenshots, MainWindowAndNotification)
{
    saveLogin(kUser, kPassword);
    ClientProgram* client = startClient();
    const std::optional<DesktopWindow> main = waitForWindow(client->pid(), WindowSize::kMain);
    ASSERT_TRUE(main);
    const std::optional<DesktopWindow> note =
        waitForWindow(client->pid(), WindowSize::kNotification, kActionTimeoutMs);
    ASSERT_TRUE(note);
    ASSERT_FALSE(main->geometry.intersects(note->geometry));

    // Both pages have loaded once their buttons show; the pointer stays out of the way.
    Desktop::moveMouse(QPoint(0, m_x.screenSize().height() - 1));
    ASSERT_TRUE(waitForColour(main->geometry, qRgb(0xe8, 0x54, 0x1e), QSize(60, 15)));
    ASSERT_TRUE(waitForColour(note->geometry, qRgb(0x1d, 0x65, 0xbf), QSize(30, 12)));
    // The notification fades in over about two seconds.
    QThread::msleep(2500);

    QDir().mkpath(outputDir);
    ASSERT_TRUE(
        m_x.grabWindow(main->id, main->geometry).save(outputDir + QStringLiteral("/main-window.png")));
    ASSERT_TRUE(
        m_x.grabWindow(note->id, note->geometry).save(outputDir + QStringLiteral("/notification.png")));
    std::cout << "Saved main-window.png and notification.png in " << outputDir.toStdString() << std::endl;
}

static int programMain(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--output=", 9) == 0)
            outputDir = QString::fromLocal8Bit(argv[i] + 9);
    }
    return RUN_ALL_TESTS();
}

} // namespace quorvane

int main(int argc, char** argv)
{
    return quorvane::programMain(argc, argv);
}
