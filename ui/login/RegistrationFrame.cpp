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

RegistrationFrame::RegistrationFrame(QWidget* host, Session& session, RequestRunner& requests)
    : LoginFrame(host, session, requests, SkinPicture::RegFrame)
{
    setObjectName(QStringLiteral("frameReg"));

    m_labEmail = addLabel(QStringLiteral("labEmail"), QStringLiteral("E-mail："), arialFont(15), kTextColor,
                          {21, 32}, kArialAscent);
    m_edEmail = addEdit(QStringLiteral("edEmail"), {86, 27}, {195, 23}, false);
    setEditLook(m_edEmail, songFont(15), kTextColor);
    addEmailErrorDisplay({86, 61}, {107, 61});

    m_labPassword = addLabel(QStringLiteral("labPassword"), QStringLiteral("密码："), songFont(15), Qt::black,
                             {34, 91}, kSongAscent);
    m_edPassword = addEdit(QStringLiteral("edPassword"), {86, 85}, {195, 23}, true);
    addPasswordErrorDisplay({86, 120}, {107, 120});

    m_labRePassword = addLabel(QStringLiteral("labRePassword"), QStringLiteral("重复密码："), songFont(15),
                               Qt::black, {4, 148}, kSongAscent);
    m_edRePassword = addEdit(QStringLiteral("edRePassword"), {86, 142}, {195, 23}, true);
    m_rePasswordError = addErrorDisplay(QStringLiteral("RePassword"), {86, 176}, {107, 176});
    setTabOrder(m_edEmail, m_edPassword);
    setTabOrder(m_edPassword, m_edRePassword);

    m_imgReg = addButton(QStringLiteral("imgReg"), QStringLiteral("BUTTON"), {90, 203});
    m_labRegister = addCaption(QStringLiteral("labRegister"), QStringLiteral("注册"), m_imgReg, {118, 209});
    addResetAndBackButtons({m_edEmail, m_edPassword, m_edRePassword});

    connect(m_imgReg, &ImageButton::clicked, this, &RegistrationFrame::submitReg);

    m_edEmail->setFocus();
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
    if (!checkEmailAddress(m_edEmail))
        return;
    if (m_edPassword->text().isEmpty()) {
        showPasswordError(QStringLiteral("请填写密码!"));
        m_edPassword->setFocus();
        return;
    }
    if (m_edPassword->text() != m_edRePassword->text()) {
        showRePasswordError(QStringLiteral("重复密码错误!"));
        m_edRePassword->setFocus();
        return;
    }

    const QString userName = m_edEmail->text();
    const QString password = m_edPassword->text();
    Session& server = session();
    startRequest([&server, userName, password] { return server.registerAccount(userName, password); },
                 [this, userName, password](const RequestOutcome<Reply>& outcome) {
                     // A failure goes on to the application's error display.
                     const Reply& reply = outcome.get();
                     if (!reply.success) {
                         showEmailError(reply.msg);
                         return;
                     }
                     // The new account becomes the saved login; the two check-box flags stay as they were.
                     finishSignIn([&] { ConfigStore().saveAccount(userName, password, 0); });
                 });
}

} // namespace quorvane
