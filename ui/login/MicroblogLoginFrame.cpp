#include "ui/login/MicroblogLoginFrame.h"

#include "config/ConfigStore.h"
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

} // namespace

MicroblogLoginFrame::MicroblogLoginFrame(QWidget* panFrame, LoginWindow* loginForm)
    : LoginFrame(panFrame, loginForm, SkinPicture::SinaFrame)
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

    connect(imgReg, &ImageButton::clicked, this, &MicroblogLoginFrame::submitSinaLogin);
    connect(imgReset, &ImageButton::clicked, this, &MicroblogLoginFrame::imgResetClick);
    connect(imgGoback, &ImageButton::clicked, this, &MicroblogLoginFrame::imgGobackClick);
    connect(cbAutoLogin, &QCheckBox::clicked, this, &MicroblogLoginFrame::cbAutoLoginClick);

    loadSavedLogin();
}

MicroblogLoginFrame::~MicroblogLoginFrame() = default;

void MicroblogLoginFrame::loadSavedLogin()
{
    const SavedLogin info = ConfigStore().loadConfigInfo();
    if (info.userType == 1) {
        edEmail->setText(info.userName);
        edPassword->setText(info.password);
    }
    cbRemberPass->setChecked(info.rememberPass);
    cbAutoLogin->setChecked(info.autoLogin);
}

void MicroblogLoginFrame::submitSinaLogin()
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
    const LoginReply reply = runRequest([&] { return session().weiboLogin(userName, password); });
    if (reply.code != 0) {
        showEmailError(reply.msg);
        return;
    }
    SavedLogin info;
    info.userName = userName;
    info.password = password;
    info.rememberPass = cbRemberPass->isChecked();
    info.autoLogin = cbAutoLogin->isChecked();
    info.userType = 1;
    finishSignIn([&] { ConfigStore().saveConfigInfo(info); });
}

void MicroblogLoginFrame::focusFirstEmpty()
{
    if (edEmail->text().isEmpty())
        edEmail->setFocus();
    else
        edPassword->setFocus();
}

void MicroblogLoginFrame::imgResetClick()
{
    edEmail->clear();
    edPassword->clear();
    edEmail->setFocus();
}

void MicroblogLoginFrame::cbAutoLoginClick(bool checked)
{
    if (checked)
        cbRemberPass->setChecked(true);
}

void MicroblogLoginFrame::imgGobackClick()
{
    m_loginForm->showLoginFrame();
    leaveFrame();
}
