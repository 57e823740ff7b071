// What the three login frames have in common, one row per frame.
#include "tests/support/NamedChild.h"
#include "tests/support/WindowRequests.h"
#include "tests/ui/login/LoginFixture.h"

#include "platform/Failure.h"
#include "ui/chrome/CaptionLabel.h"
#include "ui/chrome/ImageButton.h"
#include "ui/login/AccountLoginFrame.h"
#include "ui/login/MicroblogLoginFrame.h"
#include "ui/login/RegistrationFrame.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>

#include <vector>

namespace quorvane {

namespace {

struct FrameRow
{
    const char* name;
    void (LoginWindow::*show)();
    int userType;          // of a saved login that fills this frame
    const char* operation; // the server operation the frame submits
    void (*submit)(LoginFrame& frame);
    const char* submitButton;
    const char* submitCaption;
    std::vector<const char*> edits;
    bool hasLoginBoxes;      // "记住密码" and "自动登录"
    bool resetKeepsTheCaret; // else the caret goes to the e-mail field
};

const FrameRow kAccount = {"Account",
                           &LoginWindow::showAccountLoginFrame,
                           0,
                           "userLogin",
                           [](LoginFrame& frame) { static_cast<AccountLoginFrame&>(frame).submitLogin(); },
                           "imgLogin",
                           "labLogin",
                           {"edEmail", "edPassword"},
                           true,
                           true};
const FrameRow kMicroblog = {
    "Microblog",
    &LoginWindow::showMicroblogLoginFrame,
    1,
    "weiboLogin",
    [](LoginFrame& frame) { static_cast<MicroblogLoginFrame&>(frame).submitSinaLogin(); },
    "imgLogin",
    "labLogin",
    {"edEmail", "edPassword"},
    true,
    false};
const FrameRow kRegistration = {"Registration",
                                &LoginWindow::showRegistrationFrame,
                                0,
                                "userRegister",
                                [](LoginFrame& frame) { static_cast<RegistrationFrame&>(frame).submitReg(); },
                                "imgReg",
                                "labRegister",
                                {"edEmail", "edPassword", "edRePassword"},
                                false,
                                false};

class FrameTest : public LoginFixture, public ::testing::WithParamInterface<FrameRow>
{
protected:
    void open()
    {
        m_window = openWindow();
        (m_window.get()->*GetParam().show)();
        processEvents();
        m_frame = qobject_cast<LoginFrame*>(m_window->currentFrame());
        ASSERT_NE(m_frame, nullptr);
    }

    // Valid entries in every field.
    void fill()
    {
        for (const char* edit : GetParam().edits)
            child<QLineEdit>(m_frame, edit)
                ->setText(edit == std::string("edEmail") ? "new@example.com" : "pw");
    }

    std::unique_ptr<LoginWindow> m_window;
    LoginFrame* m_frame = nullptr;
};

std::string rowName(const ::testing::TestParamInfo<FrameRow>& info)
{
    return info.param.name;
}

using EveryFrame = FrameTest;

TEST_P(EveryFrame, ButtonAndCaptionSubmit)
{
    ASSERT_NO_FATAL_FAILURE(open());
    answer(GetParam().operation, "<code>1</code><msg>no</msg>");
    fill();
    click(child<ImageButton>(m_frame, GetParam().submitButton));
    EXPECT_EQ(m_server.targets().size(), 1);
    click(child<CaptionLabel>(m_frame, GetParam().submitCaption));
    EXPECT_EQ(m_server.targets().size(), 2);
}

// Reset empties every field; the error shown stays.
TEST_P(EveryFrame, ResetClearsTheFields)
{
    saveLogin("alice@example.com", "pw", true, true, GetParam().userType);
    ASSERT_NO_FATAL_FAILURE(open());
    for (const char* trigger : {"imgReset", "labReset"}) {
        for (const char* edit : GetParam().edits)
            child<QLineEdit>(m_frame, edit)->setText("x");
        m_frame->showPasswordError("shown");
        child<QLineEdit>(m_frame, "edPassword")->setFocus();
        click(child<QWidget>(m_frame, trigger));
        for (const char* edit : GetParam().edits)
            EXPECT_EQ(child<QLineEdit>(m_frame, edit)->text(), "") << trigger << " " << edit;
        EXPECT_EQ(caret(*m_window), GetParam().resetKeepsTheCaret ? "edPassword" : "edEmail") << trigger;
        EXPECT_EQ(shownError(*m_frame).text, "shown") << trigger;
    }
}

INSTANTIATE_TEST_SUITE_P(Frames, EveryFrame, ::testing::Values(kAccount, kMicroblog, kRegistration), rowName);

using FrameWithLoginBoxes = FrameTest;

TEST_P(FrameWithLoginBoxes, CheckingAutoLoginChecksRememberPassword)
{
    saveLogin("alice@example.com", "pw", false, false, GetParam().userType);
    ASSERT_NO_FATAL_FAILURE(open());
    auto* remember = child<QCheckBox>(m_frame, "cbRemberPass");
    auto* autoLogin = child<QCheckBox>(m_frame, "cbAutoLogin");
    EXPECT_FALSE(remember->isChecked());
    EXPECT_FALSE(autoLogin->isChecked());
    autoLogin->click();
    EXPECT_TRUE(autoLogin->isChecked());
    EXPECT_TRUE(remember->isChecked());
    // Unchecking either changes nothing else.
    remember->click();
    EXPECT_TRUE(autoLogin->isChecked());
    EXPECT_FALSE(remember->isChecked());
    autoLogin->click();
    EXPECT_FALSE(autoLogin->isChecked());
    EXPECT_FALSE(remember->isChecked());
}

INSTANTIATE_TEST_SUITE_P(Frames, FrameWithLoginBoxes, ::testing::Values(kAccount, kMicroblog), rowName);

// The microblog and registration requests are not guarded: a failure reaches the caller (the
// application's error display) and the frame stays as it was.
using FrameWithUnguardedRequest = FrameTest;

TEST_P(FrameWithUnguardedRequest, ARequestFailureIsNotCaughtAndChangesNothing)
{
    saveLogin("saved", "pw", true, true, GetParam().userType);
    ASSERT_NO_FATAL_FAILURE(open());
    fail(GetParam().operation);
    fill();
    GetParam().submit(*m_frame);
    ASSERT_TRUE(waitForWindowRequests());
    // The failure goes on to the application's error display.
    EXPECT_EQ(takeEscapedFailures().size(), 1);
    EXPECT_EQ(shownError(*m_frame).label, "");
    EXPECT_EQ(m_window->currentFrame(), m_frame);
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_EQ(m_window->modalResult(), LoginWindow::ResultNone);
    EXPECT_EQ(savedLogin().userName, "saved");
    EXPECT_EQ(child<QLineEdit>(m_frame, "edEmail")->text(), "new@example.com");
    EXPECT_FALSE(QFile::exists(m_profile.dataHome() + "/quorvane/debug.txt"));
    // The request is over: the frame takes the next one.
    EXPECT_FALSE(m_frame->requestRunning());
}

INSTANTIATE_TEST_SUITE_P(Frames, FrameWithUnguardedRequest, ::testing::Values(kMicroblog, kRegistration),
                         rowName);

} // namespace

} // namespace quorvane
