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
    RegistrationFrame(QWidget* host, Session& session, RequestRunner& requests);
    ~RegistrationFrame() override;

    // Validates the fields and starts the registration; once it succeeds, saves the account as
    // the saved login and ends the window with OK. A request that fails goes to the application's
    // error display.
    void submitReg();
    void showRePasswordError(const QString& text);

private:
    QLabel* m_labEmail = nullptr;
    QLineEdit* m_edEmail = nullptr;
    QLabel* m_labPassword = nullptr;
    QLineEdit* m_edPassword = nullptr;
    QLabel* m_labRePassword = nullptr;
    QLineEdit* m_edRePassword = nullptr;
    ImageButton* m_imgReg = nullptr;
    CaptionLabel* m_labRegister = nullptr;

    ErrorDisplay m_rePasswordError;
};

} // namespace quorvane
