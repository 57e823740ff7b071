#include "tests/ui/dialogs/WindowTestApp.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QWebEnginePage>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

namespace quorvane {

bool showAndActivate(QWidget& window)
{
    window.show();
    window.raise();
    window.activateWindow();
    return QTest::qWaitForWindowExposed(&window, 20000) && QTest::qWaitForWindowActive(&window, 20000);
}

void processEvents()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QVariant runScript(QWebEnginePage* page, const QString& script)
{
    QVariant result;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    if (!waitUntil([&] { return done; }))
        ADD_FAILURE() << "no result from " << script.toStdString();
    return result;
}

void saveScreenshot(QWidget& window, const QString& name)
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

} // namespace quorvane
