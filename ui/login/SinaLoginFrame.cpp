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

    image1 = addPicture(QStringLiteral("Image1"), SkinPicture::SinaLogo, {21, 13});
    label1 = addLabel(QStringLiteral("Label1"), QStringLiteral("E-mail："), arialFont(15), kTextColor,
                      {21, 70}, kArialAscent);
    edEmail = addEdit(QStringLiteral("edEmail"), {86, 65}, {195, 23}, false);
    setEditLook(edEmail, songFont(15), kTextColor);
    addEmailErrorDisplay({86, 99}, {107, 99});

    label2 = addLabel(QStringLiteral("Label2"), QStringLiteral("密码："), songFont(15), Qt::black, {34, 129},
                      kSongAscent);
    edPassword = addEdit(QStringLiteral("edPassword"), {86, 123}, {195, 23}, true);
    addPasswordErrorDisplay({86, 158}, {107, 158});

    cbRemberPass = addCheckBox(QStringLiteral("cbRemberPass"), QStringLiteral("记住密码"), {64, 175});
    cbAutoLogin = addCheckBox(QStringLiteral("cbAutoLogin"), QStringLiteral("自动登录"), {170, 175});
    setTabOrder(edEmail, edPassword);
    setTabOrder(edPassword, cbRemberPass);
    setTabOrder(cbRemberPass, cbAutoLogin);

    imgReg = addButton(QStringLiteral("imgReg"), QStringLiteral("BUTTON"), {90, 203});
    label4 = addCaption(QStringLiteral("Label4"), QStringLiteral("微博登录"), imgReg, {104, 209});
    imgReset = addButton(QStringLiteral("imgReset"), QStringLiteral("BUTTON"), {183, 203});
    label5 = addCaption(QStringLiteral("Label5"), QStringLiteral("重置"), imgReset, {211, 209});
    imgGoback = addButton(QStringLiteral("imgGoback"), QStringLiteral("GOBACK"), {212, 265});
    image5 = addPicture(QStringLiteral("Image5"), SkinPicture::FrameFooter, {0, 274});

    connect(imgReg, &TImageButton::clicked, this, &TframeSinaLogin::submitSinaLogin);
    connect(imgReset, &TImageButton::clicked, this, &TframeSinaLogin::imgResetClick);
    connect(imgGoback, &TImageButton::clicked, this, &TframeSinaLogin::imgGobackClick);
    connect(cbAutoLogin, &QCheckBox::clicked, this, &TframeSinaLogin::cbAutoLoginClick);

    loadSavedLogin();
}

TframeSinaLogin::~TframeSinaLogin() = default;

void TframeSinaLogin::loadSavedLogin()
{
    const SelvorConfigInfo info = TSelvorConfig().loadConfigInfo();
    if (info.userType == 1) {
        edEmail->setText(info.userName);
        edPassword->setText(info.password);
    }
    cbRemberPass->setChecked(info.rememberPass);
    cbAutoLogin->setChecked(info.autoLogin);
}

void TframeSinaLogin::submitSinaLogin()
{
    if (requestRunning())
        return;
    // The trimmed text serves the checks only; the server gets the text as typed.
    const QString trimmed = trimBlanks(edEmail->text());
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
    const APILoginResponse reply = runRequest([&] { return session().weiboLogin(userName, password); });
    if (reply.code != 0) {
        showEmailError(reply.msg);
        return;
    }
    SelvorConfigInfo info;
    info.userName = userName;
    info.password = password;
    info.rememberPass = cbRemberPass->isChecked();
    info.autoLogin = cbAutoLogin->isChecked();
    info.userType = 1;
    finishSignIn([&] { TSelvorConfig().saveConfigInfo(info); });
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
    m_loginForm->showLoginFrame();
    leaveFrame();
}
