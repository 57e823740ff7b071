#include "ui/login/AccountLoginFrame.h"

#include "config/ConfigStore.h"
#include "config/Util.h"
#include "platform/AnsiCodePage.h"
#include "platform/Failure.h"
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

void logLoginFailure(const QString& message)
{
    writeDebugLog(toAnsi(QStringLiteral("Error on longin:") + message));
}

} // namespace

AccountLoginFrame::AccountLoginFrame(QWidget* host, Session& session, RequestGuard& guard)
    : LoginFrame(host, session, guard, SkinPicture::LoginFrame)
{
    setObjectName(QStringLiteral("frameLogin"));

    labEmail = addLabel(QStringLiteral("labEmail"), QStringLiteral("E-mail："), arialFont(15), kTextColor,
                        {0, 33}, kArialAscent);
    edEmail = addEdit(QStringLiteral("edEmail"), {62, 28}, {195, 22}, false);
    setEditLook(edEmail, songFont(14), kTextColor);
    addEmailErrorDisplay({64, 64}, {82, 63});

    labPassword = addLabel(QStringLiteral("labPassword"), QStringLiteral("密码："), songFont(15), kTextColor,
                           {11, 92}, kSongAscent);
    edPassword = addEdit(QStringLiteral("edPassword"), {62, 86}, {195, 22}, true);
    addPasswordErrorDisplay({64, 117}, {82, 117});

    cbRemberPass = addCheckBox(QStringLiteral("cbRemberPass"), QStringLiteral("记住密码"), {64, 137});
    cbAutoLogin = addCheckBox(QStringLiteral("cbAutoLogin"), QStringLiteral("自动登录"), {170, 137});
    setTabOrder(edEmail, edPassword);
    setTabOrder(edPassword, cbRemberPass);
    setTabOrder(cbRemberPass, cbAutoLogin);

    imgLogin = addButton(QStringLiteral("imgLogin"), QStringLiteral("BUTTON"), {64, 165});
    labLogin = addCaption(QStringLiteral("labLogin"), QStringLiteral("登录"), imgLogin, {92, 172});
    imgReset = addButton(QStringLiteral("imgReset"), QStringLiteral("BUTTON"), {170, 166});
    labReset = addCaption(QStringLiteral("labReset"), QStringLiteral("重置"), imgReset, {198, 172});
    imgSeparator = addPicture(QStringLiteral("imgSeparator"), SkinPicture::FrameSeparator, {0, 206});
    imgReg = addButton(QStringLiteral("imgReg"), QStringLiteral("REG"), {3, 227});
    imgSina = addButton(QStringLiteral("imgSina"), QStringLiteral("SINA"), {121, 227});
    imgFooter = addPicture(QStringLiteral("imgFooter"), SkinPicture::FrameFooter, {0, 274});

    connect(imgLogin, &ImageButton::clicked, this, &AccountLoginFrame::submitLogin);
    connect(imgReset, &ImageButton::clicked, this, &AccountLoginFrame::onResetClicked);
    connect(imgReg, &ImageButton::clicked, this, &AccountLoginFrame::onRegisterClicked);
    connect(imgSina, &ImageButton::clicked, this, &AccountLoginFrame::onMicroblogClicked);

    fillFromSavedLogin(0, edEmail, edPassword, cbRemberPass, cbAutoLogin);
}

AccountLoginFrame::~AccountLoginFrame() = default;

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
    case 0:
        finishSignInSaving(userName, password, 0, cbRemberPass, cbAutoLogin);
        break;
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

void AccountLoginFrame::onResetClicked()
{
    edEmail->clear();
    edPassword->clear();
}

void AccountLoginFrame::onRegisterClicked()
{
    emit registerRequested();
    leaveFrame();
}

void AccountLoginFrame::onMicroblogClicked()
{
    emit microblogRequested();
    leaveFrame();
}

} // namespace quorvane
