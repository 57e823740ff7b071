#pragma once

#include "server/LoginReply.h"
#include "ui/login/LoginFrame.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace quorvane {

// The frame in which a user signs in with the account's e-mail address and password. It also
// leads on to the registration frame and to the microblog login frame.
class AccountLoginFrame final : public LoginFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AccountLoginFrame)

public:
    AccountLoginFrame(QWidget* host, Session& session, RequestRunner& requests);
    ~AccountLoginFrame() override;

    // Validates the fields and starts the sign-in; once it succeeds, saves the login and ends the
    // window with OK.
    void submitLogin();
    // The caret goes into the e-mail field when it is empty, else into the password field.
    void focusFirstEmpty();

private:
    QLabel* m_labEmail = nullptr;
    QLineEdit* m_edEmail = nullptr;
    QLabel* m_labPassword = nullptr;
    QLineEdit* m_edPassword = nullptr;
    QCheckBox* m_cbRemberPass = nullptr;
    QCheckBox* m_cbAutoLogin = nullptr;
    ImageButton* m_imgLogin = nullptr;
    CaptionLabel* m_labLogin = nullptr;
    ImageButton* m_imgReset = nullptr;
    CaptionLabel* m_labReset = nullptr;
    Image* m_imgSeparator = nullptr;
    ImageButton* m_imgReg = nullptr;
    ImageButton* m_imgSina = nullptr;

    void readLoginAnswer(const RequestOutcome<LoginReply>& outcome, const QString& userName,
                         const QString& password);
    void onResetClicked();
    void onRegisterClicked();
    void onMicroblogClicked();
};

} // namespace quorvane
