#include "app/Application.h"
#include "platform/Failure.h"
#include "server/RequestFailures.h"

#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace quorvane {

namespace {

// An object whose event handler fails with whatever the test chose.
class FailingObject final : public QObject
{
public:
    std::function<void()> fail;

    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            fail();
        return QObject::event(e);
    }
};

struct Shown
{
    QString title;
    QString text;
};

// Posts one failing event, answers the message box it raises and returns what it showed.
Shown showFailureOf(Application& app, std::function<void()> fail)
{
    FailingObject object;
    object.fail = std::move(fail);
    Shown shown;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = {box->windowTitle(), box->text()};
            box->accept();
            QTimer::singleShot(0, &app, &QApplication::quit);
        }
    });
    closer.start(10);
    QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
    app.exec();
    return shown;
}

TEST(ErrorDisplay, FailureInAnEventHandlerIsShownAndTheClientKeepsRunning)
{
    int argc = 1;
    char name[] = "quorvane_client";
    char* argv[] = {name, nullptr};
    Application app(argc, argv);

    const struct
    {
        const char* name;
        std::function<void()> fail;
        QString text;
    } cases[] = {
        {"failure", [] { throw Failure(QStringLiteral("连接服务器失败")); },
         QStringLiteral("连接服务器失败")},
        // The technical cause stays in the debug log.
        {"unreachable server",
         [] { throw ServerUnreachable(QStringLiteral("Could not connect to 127.0.0.1:9")); },
         QStringLiteral("无法连接服务器，请检查网络后再试!")},
        {"standard exception", [] { throw std::runtime_error("bad reply"); }, QStringLiteral("bad reply")},
        {"not an exception", [] { throw 42; }, QString()},
    };
    for (const auto& c : cases) {
        const Shown shown = showFailureOf(app, c.fail);
        EXPECT_EQ(shown.title, QStringLiteral("Quorvane")) << c.name;
        EXPECT_EQ(shown.text, c.text) << c.name;
    }
}

} // namespace

} // namespace quorvane
