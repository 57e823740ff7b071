#include "ui/login/AccountLoginFrame.h"

#include "config/ConfigStore.h"
#include "config/Util.h"
#include "platform/AnsiCodePage.h"
#include "platform/Failure.h"
#include "resources/SkinPictures.h"
#include "server/Session.h"
#include "ui/chrome/CaptionLabel.h"
#include "ui/chrome/Image.h"
#include "ui/chrome/ImageButton.h"
#include "ui/login/LoginFonts.h"
#include "ui/login/LoginWindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace {

const QColor kTextColor(60, 60, 60);

void logLoginFailure(const QString& message)
{
    writeDebugLog(toAnsi(QStringLiteral("Error on longin:") + message));
}

} // namespace

AccountLoginFrame::AccountLoginFrame(QWidget* panFrame, LoginWindow* loginForm)
    : LoginFrame(panFrame, loginForm, SkinPicture::LoginFrame)
{
    setObjectName(QStringLiteral("frameLogin"));

    label1 = addLabel(QStringLiteral("Label1"), QStringLiteral("E-mail："), arialFont(15), kTextColor,
                      {0, 33}, kArialAscent);
    edEmail = addEdit(QStringLiteral("edEmail"), {62, 28}, {195, 22}, false);
    setEditLook(edEmail, songFont(14), kTextColor);
    addEmailErrorDisplay({64, 64}, {82, 63});

    label2 = addLabel(QStringLiteral("Label2"), QStringLiteral("密码："), songFont(15), kTextColor, {11, 92},
                      kSongAscent);
    edPassword = addEdit(QStringLiteral("edPassword"), {62, 86}, {195, 22}, true);
    addPasswordErrorDisplay({64, 117}, {82, 117});

    cbRemberPass = addCheckBox(QStringLiteral("cbRemberPass"), QStringLiteral("记住密码"), {64, 137});
    cbAutoLogin = addCheckBox(QStringLiteral("cbAutoLogin"), QStringLiteral("自动登录"), {170, 137});
    setTabOrder(edEmail, edPassword);
    setTabOrder(edPassword, cbRemberPass);
    setTabOrder(cbRemberPass, cbAutoLogin);

    imgLogin = addButton(QStringLiteral("imgLogin"), QStringLiteral("BUTTON"), {64, 165});
    label3 = addCaption(QStringLiteral("Label3"), QStringLiteral("登录"), imgLogin, {92, 172});
    imgReset = addButton(QStringLiteral("imgReset"), QStringLiteral("BUTTON"), {170, 166});
    label4 = addCaption(QStringLiteral("Label4"), QStringLiteral("重置"), imgReset, {198, 172});
    image3 = addPicture(QStringLiteral("Image3"), SkinPicture::FrameSeparator, {0, 206});
    imgReg = addButton(QStringLiteral("imgReg"), QStringLiteral("REG"), {3, 227});
    imgSina = addButton(QStringLiteral("imgSina"), QStringLiteral("SINA"), {121, 227});
    image5 = addPicture(QStringLiteral("Image5"), SkinPicture::FrameFooter, {0, 274});

    connect(imgLogin, &ImageButton::clicked, this, &AccountLoginFrame::submitLogin);
    connect(imgReset, &ImageButton::clicked, this, &AccountLoginFrame::imgResetClick);
    connect(imgReg, &ImageButton::clicked, this, &AccountLoginFrame::imgRegClick);
    connect(imgSina, &ImageButton::clicked, this, &AccountLoginFrame::imgSinaClick);
    connect(cbAutoLogin, &QCheckBox::clicked, this, &AccountLoginFrame::cbAutoLoginClick);

    loadSavedLogin();
}

AccountLoginFrame::~AccountLoginFrame() = default;

void AccountLoginFrame::loadSavedLogin()
{
    const SavedLogin info = ConfigStore().loadConfigInfo();
    if (info.userType == 0) {
        edEmail->setText(info.userName);
        edPassword->setText(info.password);
    }
    cbRemberPass->setChecked(info.rememberPass);
    cbAutoLogin->setChecked(info.autoLogin);
}

void AccountLoginFrame::submitLogin()
{
    if (requestRunning())
        return;
    hideErrors();
    if (edEmail->text().isEmpty()) {
        // Not trimmed: a field of blanks counts as filled and goes to the server as it is.
        showEmailError(QStringLiteral("请输入登录的E-mail!"));
        edEmail->setFocus();
        return;
    }
    if (edPassword->text().isEmpty()) {
        showPasswordError(QStringLiteral("请填写密码！"));
        edPassword->setFocus();
        return;
    }

    const QString userName = edEmail->text();
    const QString password = edPassword->text();
    LoginReply reply;
    try {
        reply = runRequest([&] { return session().login(userName, password); });
    } catch (const Failure& failure) {
        logLoginFailure(failure.message());
        showEmailError(QStringLiteral("目前服务维护中，请稍后再试!"));
        return;
    } catch (const std::exception& failure) {
        logLoginFailure(QString::fromLocal8Bit(failure.what()));
        showEmailError(QStringLiteral("目前服务维护中，请稍后再试!"));
        return;
    }

    switch (reply.code) {
    case 0: {
        // The password is saved whatever "记住密码" says; the two flags only decide whether
        // the next start signs in by itself.
        SavedLogin info;
        info.userName = userName;
        info.password = password;
        info.rememberPass = cbRemberPass->isChecked();
        info.autoLogin = cbAutoLogin->isChecked();
        info.userType = 0;
        finishSignIn([&] { ConfigStore().saveConfigInfo(info); });
        break;
    }
    case 1:
        showPasswordError(QStringLiteral("用户名或密码不正确!"));
        break;
    case 3:
        showEmailError(QStringLiteral("用户未激活，等待审核中!"));
        break;
    default:
        // Other codes say nothing the user could act on.
        break;
    }
}

void AccountLoginFrame::focusFirstEmpty()
{
    if (edEmail->text().isEmpty())
        edEmail->setFocus();
    else
        edPassword->setFocus();
}

void AccountLoginFrame::imgResetClick()
{
    edEmail->clear();
    edPassword->clear();
}

void AccountLoginFrame::cbAutoLoginClick(bool checked)
{
    if (checked)
        cbRemberPass->setChecked(true);
}

void AccountLoginFrame::imgRegClick()
{
    m_loginForm->showRegFrame();
    leaveFrame();
}

void AccountLoginFrame::imgSinaClick()
{
    m_loginForm->showSinaLoginFrame();
    leaveFrame();
}
