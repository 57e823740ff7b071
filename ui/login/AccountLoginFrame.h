#pragma once

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
    AccountLoginFrame(QWidget* host, Session& session, RequestGuard& guard);
    ~AccountLoginFrame() override;

    // Validates the fields and signs in; on success saves the login and ends the window with OK.
    void submitLogin();
    // The caret goes into the e-mail field when it is empty, else into the password field.
    void focusFirstEmpty();

    QLabel* labEmail = nullptr;
    QLineEdit* edEmail = nullptr;
    QLabel* labPassword = nullptr;
    QLineEdit* edPassword = nullptr;
    QCheckBox* cbRemberPass = nullptr;
    QCheckBox* cbAutoLogin = nullptr;
    ImageButton* imgLogin = nullptr;
    CaptionLabel* labLogin = nullptr;
    ImageButton* imgReset = nullptr;
    CaptionLabel* labReset = nullptr;
    Image* imgSeparator = nullptr;
    ImageButton* imgReg = nullptr;
    ImageButton* imgSina = nullptr;
    Image* imgFooter = nullptr;

private:
    void onResetClicked();
    void onRegisterClicked();
    void onMicroblogClicked();
};

} // namespace quorvane
