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

MicroblogLoginFrame::MicroblogLoginFrame(QWidget* host, Session& session, RequestRunner& requests)
    : LoginFrame(host, session, requests, SkinPicture::SinaFrame)
{
    setObjectName(QStringLiteral("frameSinaLogin"));

    m_imgLogo = addPicture(QStringLiteral("imgLogo"), SkinPicture::SinaLogo, {21, 13});
    m_labEmail = addLabel(QStringLiteral("labEmail"), QStringLiteral("E-mail："), arialFont(15), kTextColor,
                          {21, 70}, kArialAscent);
    m_edEmail = addEdit(QStringLiteral("edEmail"), {86, 65}, {195, 23}, false);
    setEditLook(m_edEmail, songFont(15), kTextColor);
    addEmailErrorDisplay({86, 99}, {107, 99});

    m_labPassword = addLabel(QStringLiteral("labPassword"), QStringLiteral("密码："), songFont(15), Qt::black,
                             {34, 129}, kSongAscent);
    m_edPassword = addEdit(QStringLiteral("edPassword"), {86, 123}, {195, 23}, true);
    addPasswordErrorDisplay({86, 158}, {107, 158});

    m_cbRemberPass = addCheckBox(QStringLiteral("cbRemberPass"), QStringLiteral("记住密码"), {64, 175});
    m_cbAutoLogin = addCheckBox(QStringLiteral("cbAutoLogin"), QStringLiteral("自动登录"), {170, 175});
    setTabOrder(m_edEmail, m_edPassword);
    setTabOrder(m_edPassword, m_cbRemberPass);
    setTabOrder(m_cbRemberPass, m_cbAutoLogin);

    m_imgLogin = addButton(QStringLiteral("imgLogin"), QStringLiteral("BUTTON"), {90, 203});
    m_labLogin = addCaption(QStringLiteral("labLogin"), QStringLiteral("微博登录"), m_imgLogin, {104, 209});
    addResetAndBackButtons({m_edEmail, m_edPassword});

    connect(m_imgLogin, &ImageButton::clicked, this, &MicroblogLoginFrame::submitSinaLogin);

    fillFromSavedLogin(1, m_edEmail, m_edPassword, m_cbRemberPass, m_cbAutoLogin);
}

MicroblogLoginFrame::~MicroblogLoginFrame() = default;

void MicroblogLoginFrame::submitSinaLogin()
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

    const QString userName = m_edEmail->text();
    const QString password = m_edPassword->text();
    Session& server = session();
    startRequest([&server, userName, password] { return server.weiboLogin(userName, password); },
                 [this, userName, password](const RequestOutcome<LoginReply>& outcome) {
                     // A failure goes on to the application's error display.
                     const LoginReply& reply = outcome.get();
                     if (reply.code != 0) {
                         showEmailError(reply.msg);
                         return;
                     }
                     finishSignInSaving(userName, password, 1, m_cbRemberPass, m_cbAutoLogin);
                 });
}

void MicroblogLoginFrame::focusFirstEmpty()
{
    if (m_edEmail->text().isEmpty())
        m_edEmail->setFocus();
    else
        m_edPassword->setFocus();
}

} // namespace quorvane
