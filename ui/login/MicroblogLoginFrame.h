#pragma once

#include "ui/login/LoginFrame.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace quorvane {

// The frame in which a user signs in with the user name and password of a microblog account.
// The application server checks them; the client never talks to the microblog service itself.
class MicroblogLoginFrame final : public LoginFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MicroblogLoginFrame)

public:
    MicroblogLoginFrame(QWidget* host, Session& session, RequestRunner& requests);
    ~MicroblogLoginFrame() override;

    // Validates the fields and starts the sign-in; once it succeeds, saves the login as a microblog
    // login and ends the window with OK. A request that fails goes to the application's error display.
    void submitSinaLogin();
    // The caret goes into the e-mail field when it is empty, else into the password field.
    void focusFirstEmpty();

private:
    Image* m_imgLogo = nullptr;
    QLabel* m_labEmail = nullptr;
    QLineEdit* m_edEmail = nullptr;
    QLabel* m_labPassword = nullptr;
    QLineEdit* m_edPassword = nullptr;
    QCheckBox* m_cbRemberPass = nullptr;
    QCheckBox* m_cbAutoLogin = nullptr;
    ImageButton* m_imgLogin = nullptr;
    CaptionLabel* m_labLogin = nullptr;
};

} // namespace quorvane
