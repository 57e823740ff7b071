#include "update/UpdateNoticeBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace quorvane {

namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "update_notice_box_test";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

struct SeenBox
{
    QString text;
    QString title;
    bool onUiThread = false;
    bool okOnly = false;
    bool reportReturned = false; // whether the caller had already gone on when the box showed
};

// Runs the event loop until `done`, answering the first message box with OK.
SeenBox answerBox(const std::function<bool()>& done, const std::atomic<bool>& reportReturned)
{
    SeenBox seen;
    bool answered = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); box && !answered) {
            answered = true;
            seen = {box->text(), box->windowTitle(), box->thread() == app().thread(),
                    box->buttons().size() == 1 && box->button(QMessageBox::Ok), reportReturned.load()};
            box->button(QMessageBox::Ok)->click();
        }
        if (done())
            app().quit();
    });
    // Never wait for ever: a box nobody saw is closed so the caller can go on.
    QTimer::singleShot(30000, [] {
        if (QWidget* box = QApplication::activeModalWidget())
            box->close();
        app().quit();
    });
    poll.start(10);
    app().exec();
    return seen;
}

TEST(UpdateNoticeBox, PollingThreadHandsTheBoxToTheUserInterfaceThreadAndWaits)
{
    app();
    QObject uiContext;
    const UpdateNoticeReport report = updateNoticesOn(&uiContext);
    std::atomic<bool> returned = false;
    std::thread polling([&] {
        report(QStringLiteral("解压升级包失败!"));
        returned = true;
    });
    const SeenBox seen = answerBox([&] { return returned.load(); }, returned);
    polling.join();
    EXPECT_EQ(seen.text, QStringLiteral("解压升级包失败!"));
    EXPECT_EQ(seen.title, QStringLiteral("Quorvane"));
    EXPECT_TRUE(seen.onUiThread);
    EXPECT_TRUE(seen.okOnly);
    EXPECT_FALSE(seen.reportReturned);
    EXPECT_TRUE(returned);
}

TEST(UpdateNoticeBox, OnTheUserInterfaceThreadItShowsDirectly)
{
    app();
    QObject uiContext;
    const UpdateNoticeReport report = updateNoticesOn(&uiContext);
    std::atomic<bool> returned = false;
    QTimer::singleShot(0, [&] {
        report(QStringLiteral("解压升级包失败!"));
        returned = true;
    });
    const SeenBox seen = answerBox([&] { return returned.load(); }, returned);
    EXPECT_EQ(seen.text, QStringLiteral("解压升级包失败!"));
    EXPECT_TRUE(returned);
}

TEST(UpdateNoticeBox, NothingIsShownOnceTheContextIsGone)
{
    app();
    UpdateNoticeReport report;
    {
        QObject uiContext;
        report = updateNoticesOn(&uiContext);
    }
    std::thread polling([&] { report(QStringLiteral("解压升级包失败!")); });
    polling.join(); // returns without a user-interface thread to wait for
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace

} // namespace quorvane
