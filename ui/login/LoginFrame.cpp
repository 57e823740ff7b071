#include "ui/login/LoginFrame.h"

#include "config/SelvorConfig.h"
#include "config/Util.h"
#include "platform/AnsiCodePage.h"
#include "platform/Failure.h"
#include "resources/SkinPictures.h"
#include "server/DataModule.h"
#include "ui/chrome/CaptionLabel.h"
#include "ui/chrome/Image.h"
#include "ui/chrome/ImageButton.h"
#include "ui/login/LoginFonts.h"
#include "ui/login/LoginForm.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace {

const QColor kTextColor(60, 60, 60);

void LogLoginFailure(const QString& message)
{
    WriteDebugLog(ToAnsi(QStringLiteral("Error on longin:") + message));
}

} // namespace

TframeLogin::TframeLogin(QWidget* panFrame, TfrmLogin* loginForm)
    : TLoginFrameBase(panFrame, loginForm, SkinPicture::LoginFrame)
{
    setObjectName(QStringLiteral("frameLogin"));

    Label1 = AddLabel(QStringLiteral("Label1"), QStringLiteral("E-mail："), ArialFont(15), kTextColor,
                      {0, 33}, kArialAscent);
    edEmail = AddEdit(QStringLiteral("edEmail"), {62, 28}, {195, 22}, false);
    SetEditLook(edEmail, SongFont(14), kTextColor);
    AddEmailErrorDisplay({64, 64}, {82, 63});

    Label2 = AddLabel(QStringLiteral("Label2"), QStringLiteral("密码："), SongFont(15), kTextColor, {11, 92},
                      kSongAscent);
    edPassword = AddEdit(QStringLiteral("edPassword"), {62, 86}, {195, 22}, true);
    AddPasswordErrorDisplay({64, 117}, {82, 117});

    cbRemberPass = AddCheckBox(QStringLiteral("cbRemberPass"), QStringLiteral("记住密码"), {64, 137});
    cbAutoLogin = AddCheckBox(QStringLiteral("cbAutoLogin"), QStringLiteral("自动登录"), {170, 137});
    setTabOrder(edEmail, edPassword);
    setTabOrder(edPassword, cbRemberPass);
    setTabOrder(cbRemberPass, cbAutoLogin);

    imgLogin = AddButton(QStringLiteral("imgLogin"), QStringLiteral("BUTTON"), {64, 165});
    Label3 = AddCaption(QStringLiteral("Label3"), QStringLiteral("登录"), imgLogin, {92, 172});
    imgReset = AddButton(QStringLiteral("imgReset"), QStringLiteral("BUTTON"), {170, 166});
    Label4 = AddCaption(QStringLiteral("Label4"), QStringLiteral("重置"), imgReset, {198, 172});
    Image3 = AddPicture(QStringLiteral("Image3"), SkinPicture::FrameSeparator, {0, 206});
    imgReg = AddButton(QStringLiteral("imgReg"), QStringLiteral("REG"), {3, 227});
    imgSina = AddButton(QStringLiteral("imgSina"), QStringLiteral("SINA"), {121, 227});
    Image5 = AddPicture(QStringLiteral("Image5"), SkinPicture::FrameFooter, {0, 274});

    connect(imgLogin, &TImageButton::Clicked, this, &TframeLogin::submitLogin);
    connect(imgReset, &TImageButton::Clicked, this, &TframeLogin::imgResetClick);
    connect(imgReg, &TImageButton::Clicked, this, &TframeLogin::imgRegClick);
    connect(imgSina, &TImageButton::Clicked, this, &TframeLogin::imgSinaClick);
    connect(cbAutoLogin, &QCheckBox::clicked, this, &TframeLogin::cbAutoLoginClick);

    LoadSavedLogin();
}

TframeLogin::~TframeLogin() = default;

void TframeLogin::LoadSavedLogin()
{
    const SelvorConfigInfo info = TSelvorConfig().LoadConfigInfo();
    if (info.UserType == 0) {
        edEmail->setText(info.UserName);
        edPassword->setText(info.Password);
    }
    cbRemberPass->setChecked(info.RememberPass);
    cbAutoLogin->setChecked(info.AutoLogin);
}

void TframeLogin::submitLogin()
{
    if (RequestRunning())
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
    APILoginResponse reply;
    try {
        reply = RunRequest([&] { return Session().Login(userName, password); });
    } catch (const TFailure& failure) {
        LogLoginFailure(failure.Message());
        showEmailError(QStringLiteral("目前服务维护中，请稍后再试!"));
        return;
    } catch (const std::exception& failure) {
        LogLoginFailure(QString::fromLocal8Bit(failure.what()));
        showEmailError(QStringLiteral("目前服务维护中，请稍后再试!"));
        return;
    }

    switch (reply.code) {
    case 0: {
        // The password is saved whatever "记住密码" says; the two flags only decide whether
        // the next start signs in by itself.
        SelvorConfigInfo info;
        info.UserName = userName;
        info.Password = password;
        info.RememberPass = cbRemberPass->isChecked();
        info.AutoLogin = cbAutoLogin->isChecked();
        info.UserType = 0;
        FinishSignIn([&] { TSelvorConfig().SaveConfigInfo(info); });
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

void TframeLogin::focusFirstEmpty()
{
    if (edEmail->text().isEmpty())
        edEmail->setFocus();
    else
        edPassword->setFocus();
}

void TframeLogin::imgResetClick()
{
    edEmail->clear();
    edPassword->clear();
}

void TframeLogin::cbAutoLoginClick(bool checked)
{
    if (checked)
        cbRemberPass->setChecked(true);
}

void TframeLogin::imgRegClick()
{
    loginForm->showRegFrame();
    LeaveFrame();
}

void TframeLogin::imgSinaClick()
{
    loginForm->showSinaLoginFrame();
    LeaveFrame();
}
