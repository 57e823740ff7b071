#pragma once

#include "ui/login/LoginFrame.h"

class QLabel;
class QLineEdit;

// The frame in which a new account is registered with an e-mail address and a password typed
// twice. A successful registration signs the new user in.
class RegistrationFrame final : public LoginFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RegistrationFrame)

public:
    // The window is visible whenever this frame is made, so the caret goes into the e-mail field.
    RegistrationFrame(QWidget* panFrame, LoginWindow* loginForm);
    ~RegistrationFrame() override;

    // Validates the fields and registers; on success saves the account as the saved login and
    // ends the window with OK. A request that fails is not caught here.
    void submitReg();
    void showRePasswordError(const QString& text);

    QLabel* label1 = nullptr;
    QLineEdit* edEmail = nullptr;
    QLabel* label2 = nullptr;
    QLineEdit* edPassword = nullptr;
    QLabel* label3 = nullptr;
    QLineEdit* edRePassword = nullptr;
    Image* imgRePasswordError = nullptr;
    QLabel* labRePasswordError = nullptr;
    ImageButton* imgReg = nullptr;
    CaptionLabel* label4 = nullptr;
    ImageButton* imgReset = nullptr;
    CaptionLabel* label5 = nullptr;
    ImageButton* imgGoback = nullptr;
    Image* image5 = nullptr;

private:
    void imgResetClick();
    void imgGobackClick();

    ErrorDisplay m_rePasswordError;
};
