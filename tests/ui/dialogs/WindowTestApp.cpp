#include "tests/ui/dialogs/WindowTestApp.h"

#include "platform/Failure.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QWebEnginePage>
#include <QWidget>
#include <QWindow>
#include <exception>
#include <gtest/gtest.h>
#include <memory>

namespace {

class TTestApplication final : public QApplication
{
public:
    TTestApplication(int& argc, char** argv) : QApplication(argc, argv) { setQuitOnLastWindowClosed(false); }

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const TFailure& failure) {
            failures << failure.Message();
        } catch (const std::exception& failure) {
            failures << QString::fromUtf8(failure.what());
        }
        return true;
    }

    QStringList failures;
};

int argc = 1;
char name[64] = {};
char* argv[2] = {name, nullptr};
std::unique_ptr<TTestApplication> app;

} // namespace

void CreateTestApplication(const char* programName)
{
    qstrncpy(name, programName, sizeof(name));
    app = std::make_unique<TTestApplication>(argc, argv);
}

void DestroyTestApplication()
{
    app.reset();
}

QStringList TakeEscapedFailures()
{
    return std::exchange(app->failures, {});
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    return QTest::qWaitFor(done, timeoutMs);
}

bool ShowAndActivate(QWidget& window)
{
    window.show();
    window.raise();
    window.activateWindow();
    return QTest::qWaitForWindowExposed(&window, 20000) && QTest::qWaitForWindowActive(&window, 20000);
}

void ProcessEvents()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QVariant RunScript(QWebEnginePage* page, const QString& script)
{
    QVariant result;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    if (!WaitUntil([&] { return done; }))
        ADD_FAILURE() << "no result from " << script.toStdString();
    return result;
}

void SaveScreenshot(QWidget& window, const QString& name)
{
    const QString dir = qEnvironmentVariable("QUORVANE_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    // Let the window and its browser finish painting.
    QTest::qWait(500);
    const QRect frame = window.frameGeometry();
    QScreen* screen = window.screen();
    const QPixmap shot = screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    shot.save(QDir(dir).filePath(name + QStringLiteral(".png")));
}
