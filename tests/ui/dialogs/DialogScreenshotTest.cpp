// Shows each secondary window on the X server; with QUORVANE_SCREENSHOT_DIR set, saves what the
// screen shows of it for a person to look at.
#include "tests/support/NamedChild.h"
#include "tests/ui/dialogs/DialogsFixture.h"
#include "ui/chrome/BrowserPage.h"
#include "ui/chrome/BrowserView.h"
#include "ui/chrome/OpenWindows.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/ChangePasswordDialog.h"
#include "ui/dialogs/FeedbackWindow.h"
#include "ui/dialogs/SettingsDialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <memory>

namespace quorvane {

namespace {

class DialogScreenshotTest : public DialogsFixture
{
protected:
    DialogScreenshotTest()
    {
        signIn(QStringLiteral("user@example.com"));
        m_server.reply(
            "/quorvane2/users/opinion",
            "<!doctype html><html><head><meta charset='utf-8'></head><body style='font:13px sans-serif'>"
            "<p>请留下您的意见或建议：</p><textarea style='width:95%;height:80px'></textarea>"
            "<p><button>提交</button></p></body></html>",
            200, "text/html");
    }
};

TEST_F(DialogScreenshotTest, EveryWindowShowsOnTheScreen)
{
    showSettingWindow(nullptr);
    ASSERT_TRUE(findOpenWindow<SettingsDialog>());
    child<QCheckBox>(findOpenWindow<SettingsDialog>(), "cbAutoLogin")->setChecked(true);
    ASSERT_TRUE(showAndActivate(*findOpenWindow<SettingsDialog>()));
    saveScreenshot(*findOpenWindow<SettingsDialog>(), QStringLiteral("setting"));
    delete findOpenWindow<SettingsDialog>();

    showChangePasswordWindow(m_session, nullptr);
    ASSERT_TRUE(findOpenWindow<ChangePasswordDialog>());
    child<QLineEdit>(findOpenWindow<ChangePasswordDialog>(), "edtOldPassword")
        ->setText(QStringLiteral("secret"));
    ASSERT_TRUE(showAndActivate(*findOpenWindow<ChangePasswordDialog>()));
    saveScreenshot(*findOpenWindow<ChangePasswordDialog>(), QStringLiteral("change-password"));
    delete findOpenWindow<ChangePasswordDialog>();

    auto about = std::make_unique<AboutDialog>();
    ASSERT_TRUE(showAndActivate(*about));
    saveScreenshot(*about, QStringLiteral("about"));
    about.reset();

    showFeedbackWindow(m_session, nullptr);
    ASSERT_TRUE(findOpenWindow<FeedbackWindow>());
    FeedbackWindow* feedback = findOpenWindow<FeedbackWindow>();
    ASSERT_TRUE(showAndActivate(*feedback));
    ASSERT_TRUE(waitUntil([&] {
        return !child<BrowserView>(feedback, "browser")->url().isEmpty() &&
               !child<BrowserView>(feedback, "browser")->browserPage()->isLoading();
    }));
    saveScreenshot(*feedback, QStringLiteral("feedback"));
    delete findOpenWindow<FeedbackWindow>();
}

} // namespace

} // namespace quorvane
