#include "ui/login/MicroblogLoginFrame.h"

#include "config/ConfigStore.h"
#include "resources/SkinPictures.h"
#include "server/Session.h"
#include "ui/chrome/CaptionLabel.h"
#include "ui/chrome/Fonts.h"
#include "ui/chrome/Image.h"
#include "ui/chrome/ImageButton.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace quorvane {

namespace {

const QColor kTextColor(60, 60, 60);

} // namespace

MicroblogLoginFrame::MicroblogLoginFrame(QWidget* host, Session& session, RequestGuard& guard)
    : LoginFrame(host, session, guard, SkinPicture::SinaFrame)
{
    setObjectName(QStringLiteral("frameSinaLogin"));

    imgLogo = addPicture(QStringLiteral("imgLogo"), SkinPicture::SinaLogo, {21, 13});
    labEmail = addLabel(QStringLiteral("labEmail"), QStringLiteral("E-mail："), arialFont(15), kTextColor,
                        {21, 70}, kArialAscent);
    edEmail = addEdit(QStringLiteral("edEmail"), {86, 65}, {195, 23}, false);
    setEditLook(edEmail, songFont(15), kTextColor);
    addEmailErrorDisplay({86, 99}, {107, 99});

    labPassword = addLabel(QStringLiteral("labPassword"), QStringLiteral("密码："), songFont(15), Qt::black,
                           {34, 129}, kSongAscent);
    edPassword = addEdit(QStringLiteral("edPassword"), {86, 123}, {195, 23}, true);
    addPasswordErrorDisplay({86, 158}, {107, 158});

    cbRemberPass = addCheckBox(QStringLiteral("cbRemberPass"), QStringLiteral("记住密码"), {64, 175});
    cbAutoLogin = addCheckBox(QStringLiteral("cbAutoLogin"), QStringLiteral("自动登录"), {170, 175});
    setTabOrder(edEmail, edPassword);
    setTabOrder(edPassword, cbRemberPass);
    setTabOrder(cbRemberPass, cbAutoLogin);

    imgLogin = addButton(QStringLiteral("imgLogin"), QStringLiteral("BUTTON"), {90, 203});
    labLogin = addCaption(QStringLiteral("labLogin"), QStringLiteral("微博登录"), imgLogin, {104, 209});
    imgReset = addButton(QStringLiteral("imgReset"), QStringLiteral("BUTTON"), {183, 203});
    labReset = addCaption(QStringLiteral("labReset"), QStringLiteral("重置"), imgReset, {211, 209});
    imgGoback = addButton(QStringLiteral("imgGoback"), QStringLiteral("GOBACK"), {212, 265});
    imgFooter = addPicture(QStringLiteral("imgFooter"), SkinPicture::FrameFooter, {0, 274});

    connect(imgLogin, &ImageButton::clicked, this, &MicroblogLoginFrame::submitSinaLogin);
    connect(imgReset, &ImageButton::clicked, this, &MicroblogLoginFrame::onResetClicked);
    connect(imgGoback, &ImageButton::clicked, this, &MicroblogLoginFrame::onBackClicked);

    fillFromSavedLogin(1, edEmail, edPassword, cbRemberPass, cbAutoLogin);
}

MicroblogLoginFrame::~MicroblogLoginFrame() = default;

void MicroblogLoginFrame::submitSinaLogin()
{
    if (requestRunning())
        return;
    if (!checkEmailAddress(edEmail))
        return;
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
    finishSignInSaving(userName, password, 1, cbRemberPass, cbAutoLogin);
}

void MicroblogLoginFrame::focusFirstEmpty()
{
    if (edEmail->text().isEmpty())
        edEmail->setFocus();
    else
        edPassword->setFocus();
}

void MicroblogLoginFrame::onResetClicked()
{
    edEmail->clear();
    edPassword->clear();
    edEmail->setFocus();
}

void MicroblogLoginFrame::onBackClicked()
{
    emit backRequested();
    leaveFrame();
}

} // namespace quorvane
