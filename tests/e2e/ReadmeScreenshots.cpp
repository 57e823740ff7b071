// Takes the README's pictures of the signed-in main window and of a notification, from the real
// client against the demo server. Not a test: run it by hand after a change of the look.
//
//   build/tests/e2e/e2e_readme_screenshots [--output=DIR] [--scale=S]
//
// DIR is docs/ of the sources unless given. With a scale (1.5, 2: a high-density screen) the
// client runs with QT_SCALE_FACTOR=S and the pictures are named main-window-scale-S.png and
// notification-scale-S.png.
#include "tests/e2e/EndToEndTest.h"

#include <QDir>
#include <QThread>
#include <cstring>
#include <iostream>

namespace quorvane {

namespace {

QString outputDir = QStringLiteral(QUORVANE_DOCS_DIR);
QString scaleText = QStringLiteral("1");

class ReadmeScreenshots : public EndToEndTest
{
protected:
    // Wide enough that the notification at the bottom right leaves the centred main window whole.
    QSize screenSize() const override { return QSize(1680, 1050) * scale(); }

    static qreal scale() { return scaleText.toDouble(); }
    static QString fileName(const QString& name)
    {
        return outputDir + QLatin1Char('/') + name +
               (scale() == 1 ? QString() : QStringLiteral("-scale-") + scaleText) + QStringLiteral(".png");
    }
};

} // namespace

TEST_F(ReadmeScreenshots, MainWindowAndNotification)
{
    saveLogin(kUser, kPassword);
    QProcessEnvironment environment;
    if (scale() != 1)
        environment.insert(QStringLiteral("QT_SCALE_FACTOR"), scaleText);
    ClientProgram* client = startClient(QString(), environment);
    const std::optional<DesktopWindow> main = waitForScaledWindow(client->pid(), WindowSize::kMain, scale());
    ASSERT_TRUE(main);
    const std::optional<DesktopWindow> note =
        waitForScaledWindow(client->pid(), WindowSize::kNotification, scale(), kActionTimeoutMs);
    ASSERT_TRUE(note);
    ASSERT_FALSE(main->geometry.intersects(note->geometry));

    // Both pages have loaded once their buttons show; the pointer stays out of the way.
    Desktop::moveMouse(QPoint(0, m_x.screenSize().height() - 1));
    ASSERT_TRUE(waitForColour(main->geometry, qRgb(0xe8, 0x54, 0x1e), QSize(60, 15) * scale()));
    ASSERT_TRUE(waitForColour(note->geometry, qRgb(0x1d, 0x65, 0xbf), QSize(30, 12) * scale()));
    // The notification fades in over about two seconds.
    QThread::msleep(2500);

    QDir().mkpath(outputDir);
    ASSERT_TRUE(m_x.grabWindow(main->id, main->geometry).save(fileName(QStringLiteral("main-window"))));
    ASSERT_TRUE(m_x.grabWindow(note->id, note->geometry).save(fileName(QStringLiteral("notification"))));
    std::cout << "Saved " << fileName(QStringLiteral("main-window")).toStdString() << " and "
              << fileName(QStringLiteral("notification")).toStdString() << std::endl;
}

static int programMain(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--output=", 9) == 0)
            outputDir = QString::fromLocal8Bit(argv[i] + 9);
        else if (std::strncmp(argv[i], "--scale=", 8) == 0)
            scaleText = QString::fromLocal8Bit(argv[i] + 8);
    }
    return RUN_ALL_TESTS();
}

} // namespace quorvane

int main(int argc, char** argv)
{
    return quorvane::programMain(argc, argv);
}
