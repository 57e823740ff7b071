#pragma once

#include "ui/login/LoginFrameBase.h"

class QCheckBox;
class QLabel;
class QLineEdit;

// The frame in which a user signs in with the account's e-mail address and password. It also
// leads on to the registration frame and to the microblog login frame.
class TframeLogin final : public TLoginFrameBase
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TframeLogin)

public:
    TframeLogin(QWidget* panFrame, TfrmLogin* loginForm);
    ~TframeLogin() override;

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
    TImageButton* imgLogin = nullptr;
    TCaptionLabel* label3 = nullptr;
    TImageButton* imgReset = nullptr;
    TCaptionLabel* label4 = nullptr;
    TImage* image3 = nullptr;
    TImageButton* imgReg = nullptr;
    TImageButton* imgSina = nullptr;
    TImage* image5 = nullptr;

private:
    void loadSavedLogin();
    void imgResetClick();
    void cbAutoLoginClick(bool checked);
    void imgRegClick();
    void imgSinaClick();
};
