#include "ui/login/AccountLoginFrame.h"

#include "config/ConfigStore.h"
#include "config/Util.h"
#include "platform/AnsiCodePage.h"
#include "platform/Failure.h"
#include "resources/SkinPictures.h"
#include "server/RequestFailures.h"
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

AccountLoginFrame::AccountLoginFrame(QWidget* host, Session& session, RequestRunner& requests)
    : LoginFrame(host, session, requests, SkinPicture::LoginFrame)
{
    setObjectName(QStringLiteral("frameLogin"));

    m_labEmail = addLabel(QStringLiteral("labEmail"), QStringLiteral("E-mail："), arialFont(15), kTextColor,
                          {0, 33}, kArialAscent);
    m_edEmail = addEdit(QStringLiteral("edEmail"), {62, 28}, {195, 22}, false);
    setEditLook(m_edEmail, songFont(14), kTextColor);
    addEmailErrorDisplay({64, 64}, {82, 63});

    m_labPassword = addLabel(QStringLiteral("labPassword"), QStringLiteral("密码："), songFont(15),
                             kTextColor, {11, 92}, kSongAscent);
    m_edPassword = addEdit(QStringLiteral("edPassword"), {62, 86}, {195, 22}, true);
    addPasswordErrorDisplay({64, 117}, {82, 117});

    m_cbRemberPass = addCheckBox(QStringLiteral("cbRemberPass"), QStringLiteral("记住密码"), {64, 137});
    m_cbAutoLogin = addCheckBox(QStringLiteral("cbAutoLogin"), QStringLiteral("自动登录"), {170, 137});
    setTabOrder(m_edEmail, m_edPassword);
    setTabOrder(m_edPassword, m_cbRemberPass);
    setTabOrder(m_cbRemberPass, m_cbAutoLogin);

    m_imgLogin = addButton(QStringLiteral("imgLogin"), QStringLiteral("BUTTON"), {64, 165});
    m_labLogin = addCaption(QStringLiteral("labLogin"), QStringLiteral("登录"), m_imgLogin, {92, 172});
    m_imgReset = addButton(QStringLiteral("imgReset"), QStringLiteral("BUTTON"), {170, 166});
    m_labReset = addCaption(QStringLiteral("labReset"), QStringLiteral("重置"), m_imgReset, {198, 172});
    m_imgSeparator = addPicture(QStringLiteral("imgSeparator"), SkinPicture::FrameSeparator, {0, 206});
    m_imgReg = addButton(QStringLiteral("imgReg"), QStringLiteral("REG"), {3, 227});
    m_imgSina = addButton(QStringLiteral("imgSina"), QStringLiteral("SINA"), {121, 227});
    // Their pictures carry their text.
    m_imgReg->setAccessibleName(QStringLiteral("注册新用户"));
    m_imgSina->setAccessibleName(QStringLiteral("使用微博帐号登录"));

    connect(m_imgLogin, &ImageButton::clicked, this, &AccountLoginFrame::submitLogin);
    connect(m_imgReset, &ImageButton::clicked, this, &AccountLoginFrame::onResetClicked);
    connect(m_imgReg, &ImageButton::clicked, this, &AccountLoginFrame::onRegisterClicked);
    connect(m_imgSina, &ImageButton::clicked, this, &AccountLoginFrame::onMicroblogClicked);

    fillFromSavedLogin(0, m_edEmail, m_edPassword, m_cbRemberPass, m_cbAutoLogin);
}

AccountLoginFrame::~AccountLoginFrame() = default;

void AccountLoginFrame::submitLogin()
{
    if (requestRunning())
        return;
    hideErrors();
    if (m_edEmail->text().isEmpty()) {
        // Not trimmed: a field of blanks counts as filled and goes to the server as it is.
        showEmailError(QStringLiteral("请输入登录的E-mail!"));
        m_edEmail->setFocus();
        return;
    }
    if (m_edPassword->text().isEmpty()) {
        showPasswordError(QStringLiteral("请填写密码！"));
        m_edPassword->setFocus();
        return;
    }

    const QString userName = m_edEmail->text();
    const QString password = m_edPassword->text();
    Session& server = session();
    startRequest([&server, userName, password] { return server.login(userName, password); },
                 [this, userName, password](const RequestOutcome<LoginReply>& outcome) {
                     readLoginAnswer(outcome, userName, password);
                 });
}

void AccountLoginFrame::readLoginAnswer(const RequestOutcome<LoginReply>& outcome, const QString& userName,
                                        const QString& password)
{
    LoginReply reply;
    try {
        reply = outcome.get();
    } catch (const RequestCancelled&) {
        return;
    } catch (const ServerUnreachable& failure) {
        logLoginFailure(failure.message());
        showEmailError(ServerUnreachable::userMessage());
        return;
    } catch (const Failure& failure) {
        // The server answered, but with nothing a sign-in could use.
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
        finishSignInSaving(userName, password, 0, m_cbRemberPass, m_cbAutoLogin);
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
    if (m_edEmail->text().isEmpty())
        m_edEmail->setFocus();
    else
        m_edPassword->setFocus();
}

void AccountLoginFrame::onResetClicked()
{
    m_edEmail->clear();
    m_edPassword->clear();
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
