#pragma once

#include "ui/login/LoginFrame.h"

class QCheckBox;
class QLabel;
class QLineEdit;

// The frame in which a user signs in with the account's e-mail address and password. It also
// leads on to the registration frame and to the microblog login frame.
class AccountLoginFrame final : public LoginFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AccountLoginFrame)

public:
    AccountLoginFrame(QWidget* panFrame, LoginWindow* loginForm);
    ~AccountLoginFrame() override;

    // Validates the fields and signs in; on success saves the login and ends the window with OK.
    void submitLogin();
    // The caret goes into the e-mail field when it is empty, else into the password field.
    void focusFirstEmpty();

    QLabel* label1 = nullptr;
    QLineEdit* edEmail = nullptr;
    QLabel* label2 = nullptr;
    QLineEdit* edPassword = nullptr;
    QCheckBox* cbRemberPass = nullptr;
    QCheckBox* cbAutoLogin = nullptr;
    ImageButton* imgLogin = nullptr;
    CaptionLabel* label3 = nullptr;
    ImageButton* imgReset = nullptr;
    CaptionLabel* label4 = nullptr;
    Image* image3 = nullptr;
    ImageButton* imgReg = nullptr;
    ImageButton* imgSina = nullptr;
    Image* image5 = nullptr;

private:
    void loadSavedLogin();
    void imgResetClick();
    void cbAutoLoginClick(bool checked);
    void imgRegClick();
    void imgSinaClick();
};
