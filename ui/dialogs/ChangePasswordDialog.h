#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quorvane {

class RequestRunner;
class Session;

// The signed-in account changes its password here: the old one once, the new one twice. A
// remembered password follows the change. An ordinary framed window; at most one exists, and
// closing it in any way (a successful change, the cancel button, the title bar's close button)
// destroys it.
class ChangePasswordDialog final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ChangePasswordDialog)

public:
    // The password of `session`'s account is changed.
    explicit ChangePasswordDialog(Session& session, QWidget* owner = nullptr);
    ~ChangePasswordDialog() override;

    // Checks the fields and asks the server to change the password, with the fields disabled
    // until it answers. A request that fails goes to the application's error display and leaves
    // the window as it was; closing the window cancels it.
    void changePassword();
    void cancel();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* m_labOldPassword = nullptr;
    QLabel* m_labNewPassword = nullptr;
    QLabel* m_labNewPassword2 = nullptr;
    QLineEdit* m_edtOldPassword = nullptr;
    QLineEdit* m_edtNewPassword = nullptr;
    QLineEdit* m_edtNewPassword2 = nullptr;
    QPushButton* m_btnChange = nullptr;
    QPushButton* m_btnCancel = nullptr;

    RequestRunner* m_requests = nullptr;

    Session& m_session;
    // The server's answer: empty when the password was changed, else its refusal.
    void readAnswer(const QString& refusal, const QString& newPassword);
    void showError(const QString& text, QLineEdit* field);
    void storeNewPassword(const QString& newPassword);
};

// The menus' command (for an account session only): brings the open window to the front, or
// else opens a new one, owned by `owner` and centred over it, without making it modal.
void showChangePasswordWindow(Session& session, QWidget* owner);

} // namespace quorvane
