// Shows each secondary window on the X server; with QUORVANE_SCREENSHOT_DIR set, saves what the
// screen shows of it for a person to look at.
#include "tests/ui/dialogs/DialogsFixture.h"
#include "ui/chrome/BrowserPage.h"
#include "ui/chrome/BrowserView.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/ChangePasswordDialog.h"
#include "ui/dialogs/FeedbackWindow.h"
#include "ui/dialogs/SettingsDialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <memory>

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
    ASSERT_TRUE(frmSetting);
    frmSetting->cbAutoLogin->setChecked(true);
    ASSERT_TRUE(showAndActivate(*frmSetting));
    saveScreenshot(*frmSetting, QStringLiteral("setting"));
    delete frmSetting;

    showChangePasswordWindow(nullptr);
    ASSERT_TRUE(frmChangePassword);
    frmChangePassword->edtOldPassword->setText(QStringLiteral("secret"));
    ASSERT_TRUE(showAndActivate(*frmChangePassword));
    saveScreenshot(*frmChangePassword, QStringLiteral("change-password"));
    delete frmChangePassword;

    auto about = std::make_unique<AboutDialog>();
    ASSERT_TRUE(showAndActivate(*about));
    saveScreenshot(*about, QStringLiteral("about"));
    about.reset();

    showFeedbackWindow(nullptr);
    ASSERT_TRUE(frmFeedback);
    FeedbackWindow* feedback = frmFeedback;
    ASSERT_TRUE(showAndActivate(*feedback));
    ASSERT_TRUE(waitUntil([&] {
        return !feedback->webBrowser1->url().isEmpty() && !feedback->webBrowser1->browserPage()->isLoading();
    }));
    saveScreenshot(*feedback, QStringLiteral("feedback"));
    delete frmFeedback;
}

} // namespace
