#include "ui/login/RegistrationFrame.h"

#include "config/ConfigStore.h"
#include "resources/SkinPictures.h"
#include "server/Session.h"
#include "ui/chrome/CaptionLabel.h"
#include "ui/chrome/Fonts.h"
#include "ui/chrome/Image.h"
#include "ui/chrome/ImageButton.h"

#include <QLabel>
#include <QLineEdit>

namespace quorvane {

namespace {

const QColor kTextColor(60, 60, 60);

} // namespace

RegistrationFrame::RegistrationFrame(QWidget* host, Session& session, RequestGuard& guard)
    : LoginFrame(host, session, guard, SkinPicture::RegFrame)
{
    setObjectName(QStringLiteral("frameReg"));

    labEmail = addLabel(QStringLiteral("labEmail"), QStringLiteral("E-mail："), arialFont(15), kTextColor,
                        {21, 32}, kArialAscent);
    edEmail = addEdit(QStringLiteral("edEmail"), {86, 27}, {195, 23}, false);
    setEditLook(edEmail, songFont(15), kTextColor);
    addEmailErrorDisplay({86, 61}, {107, 61});

    labPassword = addLabel(QStringLiteral("labPassword"), QStringLiteral("密码："), songFont(15), Qt::black,
                           {34, 91}, kSongAscent);
    edPassword = addEdit(QStringLiteral("edPassword"), {86, 85}, {195, 23}, true);
    addPasswordErrorDisplay({86, 120}, {107, 120});

    labRePassword = addLabel(QStringLiteral("labRePassword"), QStringLiteral("重复密码："), songFont(15),
                             Qt::black, {4, 148}, kSongAscent);
    edRePassword = addEdit(QStringLiteral("edRePassword"), {86, 142}, {195, 23}, true);
    m_rePasswordError = addErrorDisplay(QStringLiteral("RePassword"), {86, 176}, {107, 176});
    imgRePasswordError = m_rePasswordError.icon;
    labRePasswordError = m_rePasswordError.label;
    setTabOrder(edEmail, edPassword);
    setTabOrder(edPassword, edRePassword);

    imgReg = addButton(QStringLiteral("imgReg"), QStringLiteral("BUTTON"), {90, 203});
    labRegister = addCaption(QStringLiteral("labRegister"), QStringLiteral("注册"), imgReg, {118, 209});
    imgReset = addButton(QStringLiteral("imgReset"), QStringLiteral("BUTTON"), {183, 203});
    labReset = addCaption(QStringLiteral("labReset"), QStringLiteral("重置"), imgReset, {211, 209});
    imgGoback = addButton(QStringLiteral("imgGoback"), QStringLiteral("GOBACK"), {212, 265});
    imgFooter = addPicture(QStringLiteral("imgFooter"), SkinPicture::FrameFooter, {0, 274});

    connect(imgReg, &ImageButton::clicked, this, &RegistrationFrame::submitReg);
    connect(imgReset, &ImageButton::clicked, this, &RegistrationFrame::onResetClicked);
    connect(imgGoback, &ImageButton::clicked, this, &RegistrationFrame::onBackClicked);

    edEmail->setFocus();
}

RegistrationFrame::~RegistrationFrame() = default;

void RegistrationFrame::showRePasswordError(const QString& text)
{
    showError(m_rePasswordError, text);
}

void RegistrationFrame::submitReg()
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
    if (edPassword->text() != edRePassword->text()) {
        showRePasswordError(QStringLiteral("重复密码错误!"));
        edRePassword->setFocus();
        return;
    }

    const QString userName = edEmail->text();
    const QString password = edPassword->text();
    const Reply reply = runRequest([&] { return session().registerAccount(userName, password); });
    if (!reply.success) {
        showEmailError(reply.msg);
        return;
    }
    // The new account becomes the saved login; the two check-box flags stay as they were.
    finishSignIn([&] { ConfigStore().saveAccount(userName, password, 0); });
}

void RegistrationFrame::onResetClicked()
{
    edEmail->clear();
    edPassword->clear();
    edRePassword->clear();
    edEmail->setFocus();
}

void RegistrationFrame::onBackClicked()
{
    emit backRequested();
    leaveFrame();
}

} // namespace quorvane
