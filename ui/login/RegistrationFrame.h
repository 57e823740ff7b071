#pragma once

#include "ui/login/LoginFrame.h"

class QLabel;
class QLineEdit;

namespace quorvane {

// The frame in which a new account is registered with an e-mail address and a password typed
// twice. A successful registration signs the new user in.
class RegistrationFrame final : public LoginFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RegistrationFrame)

public:
    // The window is visible whenever this frame is made, so the caret goes into the e-mail field.
    RegistrationFrame(QWidget* host, Session& session, RequestGuard& guard);
    ~RegistrationFrame() override;

    // Validates the fields and registers; on success saves the account as the saved login and
    // ends the window with OK. A request that fails is not caught here.
    void submitReg();
    void showRePasswordError(const QString& text);

    QLabel* labEmail = nullptr;
    QLineEdit* edEmail = nullptr;
    QLabel* labPassword = nullptr;
    QLineEdit* edPassword = nullptr;
    QLabel* labRePassword = nullptr;
    QLineEdit* edRePassword = nullptr;
    Image* imgRePasswordError = nullptr;
    QLabel* labRePasswordError = nullptr;
    ImageButton* imgReg = nullptr;
    CaptionLabel* labRegister = nullptr;
    ImageButton* imgReset = nullptr;
    CaptionLabel* labReset = nullptr;
    ImageButton* imgGoback = nullptr;
    Image* imgFooter = nullptr;

private:
    void onResetClicked();
    void onBackClicked();

    ErrorDisplay m_rePasswordError;
};

} // namespace quorvane
