#include "ui/login/SinaLoginFrame.h"

#include "config/SelvorConfig.h"
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

} // namespace

TframeSinaLogin::TframeSinaLogin(QWidget* panFrame, TfrmLogin* loginForm)
    : TLoginFrameBase(panFrame, loginForm, SkinPicture::SinaFrame)
{
    setObjectName(QStringLiteral("frameSinaLogin"));

    Image1 = AddPicture(QStringLiteral("Image1"), SkinPicture::SinaLogo, {21, 13});
    Label1 = AddLabel(QStringLiteral("Label1"), QStringLiteral("E-mail："), ArialFont(15), kTextColor,
                      {21, 70}, kArialAscent);
    edEmail = AddEdit(QStringLiteral("edEmail"), {86, 65}, {195, 23}, false);
    SetEditLook(edEmail, SongFont(15), kTextColor);
    AddEmailErrorDisplay({86, 99}, {107, 99});

    Label2 = AddLabel(QStringLiteral("Label2"), QStringLiteral("密码："), SongFont(15), Qt::black, {34, 129},
                      kSongAscent);
    edPassword = AddEdit(QStringLiteral("edPassword"), {86, 123}, {195, 23}, true);
    AddPasswordErrorDisplay({86, 158}, {107, 158});

    cbRemberPass = AddCheckBox(QStringLiteral("cbRemberPass"), QStringLiteral("记住密码"), {64, 175});
    cbAutoLogin = AddCheckBox(QStringLiteral("cbAutoLogin"), QStringLiteral("自动登录"), {170, 175});
    setTabOrder(edEmail, edPassword);
    setTabOrder(edPassword, cbRemberPass);
    setTabOrder(cbRemberPass, cbAutoLogin);

    imgReg = AddButton(QStringLiteral("imgReg"), QStringLiteral("BUTTON"), {90, 203});
    Label4 = AddCaption(QStringLiteral("Label4"), QStringLiteral("微博登录"), imgReg, {104, 209});
    imgReset = AddButton(QStringLiteral("imgReset"), QStringLiteral("BUTTON"), {183, 203});
    Label5 = AddCaption(QStringLiteral("Label5"), QStringLiteral("重置"), imgReset, {211, 209});
    imgGoback = AddButton(QStringLiteral("imgGoback"), QStringLiteral("GOBACK"), {212, 265});
    Image5 = AddPicture(QStringLiteral("Image5"), SkinPicture::FrameFooter, {0, 274});

    connect(imgReg, &TImageButton::Clicked, this, &TframeSinaLogin::submitSinaLogin);
    connect(imgReset, &TImageButton::Clicked, this, &TframeSinaLogin::imgResetClick);
    connect(imgGoback, &TImageButton::Clicked, this, &TframeSinaLogin::imgGobackClick);
    connect(cbAutoLogin, &QCheckBox::clicked, this, &TframeSinaLogin::cbAutoLoginClick);

    LoadSavedLogin();
}

TframeSinaLogin::~TframeSinaLogin() = default;

void TframeSinaLogin::LoadSavedLogin()
{
    const SelvorConfigInfo info = TSelvorConfig().LoadConfigInfo();
    if (info.UserType == 1) {
        edEmail->setText(info.UserName);
        edPassword->setText(info.Password);
    }
    cbRemberPass->setChecked(info.RememberPass);
    cbAutoLogin->setChecked(info.AutoLogin);
}

void TframeSinaLogin::submitSinaLogin()
{
    if (RequestRunning())
        return;
    // The trimmed text serves the checks only; the server gets the text as typed.
    const QString trimmed = TrimBlanks(edEmail->text());
    if (trimmed.isEmpty()) {
        showEmailError(QStringLiteral("请输入注册的E-mail!"));
        edEmail->setFocus();
        return;
    }
    if (!isValidEmail(trimmed)) {
        showEmailError(QStringLiteral("请输入有效的E-mail!"));
        edEmail->setFocus();
        return;
    }
    if (edPassword->text().isEmpty()) {
        showPasswordError(QStringLiteral("请填写密码!"));
        edPassword->setFocus();
        return;
    }

    const QString userName = edEmail->text();
    const QString password = edPassword->text();
    const APILoginResponse reply = RunRequest([&] { return Session().WeiboLogin(userName, password); });
    if (reply.code != 0) {
        showEmailError(reply.msg);
        return;
    }
    SelvorConfigInfo info;
    info.UserName = userName;
    info.Password = password;
    info.RememberPass = cbRemberPass->isChecked();
    info.AutoLogin = cbAutoLogin->isChecked();
    info.UserType = 1;
    FinishSignIn([&] { TSelvorConfig().SaveConfigInfo(info); });
}

void TframeSinaLogin::focusFirstEmpty()
{
    if (edEmail->text().isEmpty())
        edEmail->setFocus();
    else
        edPassword->setFocus();
}

void TframeSinaLogin::imgResetClick()
{
    edEmail->clear();
    edPassword->clear();
    edEmail->setFocus();
}

void TframeSinaLogin::cbAutoLoginClick(bool checked)
{
    if (checked)
        cbRemberPass->setChecked(true);
}

void TframeSinaLogin::imgGobackClick()
{
    loginForm->showLoginFrame();
    LeaveFrame();
}
