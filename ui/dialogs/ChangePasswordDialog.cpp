#include "ui/dialogs/ChangePasswordDialog.h"

#include "config/ConfigStore.h"
#include "platform/Failure.h"
#include "resources/SkinResources.h"
#include "server/Session.h"
#include "ui/chrome/MessageBox.h"
#include "ui/chrome/OpenWindows.h"
#include "ui/chrome/RequestRunner.h"
#include "ui/chrome/WindowPlacement.h"
#include "ui/dialogs/DialogLook.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <exception>

namespace quorvane {

namespace {

const QString kCaption = QStringLiteral("修改密码");

QLabel* newLabel(QWidget* parent, const char* name, const QString& text, int x, int y)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    placeLabel(label, x, y, kSongAscent);
    return label;
}

QLineEdit* newPasswordEdit(QWidget* parent, const char* name, int x, int y)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    placeCentred(edit, {x, y, 159, 22});
    return edit;
}

QPushButton* newButton(QWidget* parent, const char* name, const QString& text, int x, int y)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    placeCentred(button, {x, y, 75, 25});
    return button;
}

} // namespace

ChangePasswordDialog::ChangePasswordDialog(Session& session, QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_session(session)
{
    setObjectName(QStringLiteral("changePasswordDialog"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kCaption);
    setWindowIcon(applicationIcon());
    setFont(songFont(14));
    setFixedSize(390, 225);

    m_labOldPassword = newLabel(this, "labOldPassword", QStringLiteral("输入旧密码："), 56, 40);
    m_labNewPassword = newLabel(this, "labNewPassword", QStringLiteral("输入新密码："), 56, 84);
    m_labNewPassword2 = newLabel(this, "labNewPassword2", QStringLiteral("再次输入："), 56, 126);
    m_edtOldPassword = newPasswordEdit(this, "edtOldPassword", 146, 37);
    m_edtNewPassword = newPasswordEdit(this, "edtNewPassword", 146, 77);
    m_edtNewPassword2 = newPasswordEdit(this, "edtNewPassword2", 146, 123);
    m_btnChange = newButton(this, "btnChange", QStringLiteral("修改密码"), 146, 175);
    m_btnCancel = newButton(this, "btnCancel", QStringLiteral("取消"), 230, 175);
    setTabOrder(m_edtOldPassword, m_edtNewPassword);
    setTabOrder(m_edtNewPassword, m_edtNewPassword2);
    setTabOrder(m_edtNewPassword2, m_btnChange);
    setTabOrder(m_btnChange, m_btnCancel);

    // "取消" and the title bar's close button stay usable while the server is asked.
    m_requests =
        new RequestRunner(this, {m_edtOldPassword, m_edtNewPassword, m_edtNewPassword2, m_btnChange});

    connect(m_btnChange, &QPushButton::clicked, this, &ChangePasswordDialog::changePassword);
    connect(m_btnCancel, &QPushButton::clicked, this, &ChangePasswordDialog::cancel);
    m_edtOldPassword->setFocus();
}

ChangePasswordDialog::~ChangePasswordDialog() {}

void ChangePasswordDialog::changePassword()
{
    if (m_requests->running())
        return;
    if (m_edtOldPassword->text().isEmpty()) {
        showError(QStringLiteral("原始密码不能为空!"), m_edtOldPassword);
        return;
    }
    if (m_edtNewPassword->text().isEmpty()) {
        showError(QStringLiteral("请输入新密码!"), m_edtNewPassword);
        return;
    }
    if (m_edtNewPassword->text() != m_edtNewPassword2->text()) {
        showError(QStringLiteral("两次输入密码不一致!"), m_edtNewPassword2);
        m_edtNewPassword2->selectAll();
        return;
    }

    Session& session = m_session;
    const QString userName = session.getUserName();
    const QString token = session.getToken();
    const QString oldPassword = m_edtOldPassword->text();
    const QString newPassword = m_edtNewPassword->text();
    m_requests->start(
        [&session, userName, oldPassword, newPassword, token] {
            return session.getApi().changePassword(userName, oldPassword, newPassword, token);
        },
        [this, newPassword](const RequestOutcome<QString>& outcome) {
            readAnswer(outcome.get(), newPassword);
        });
}

void ChangePasswordDialog::readAnswer(const QString& refusal, const QString& newPassword)
{
    if (!refusal.isEmpty()) {
        MessageBox::critical(this, kCaption, refusal);
        return;
    }

    // The server has changed the password: the user hears so even when the saved login cannot
    // follow, and learns about that afterwards.
    std::exception_ptr storeFailure;
    try {
        storeNewPassword(newPassword);
    } catch (...) {
        storeFailure = std::current_exception();
    }
    MessageBox::information(this, kCaption, QStringLiteral("密码修改成功!"));
    cancel();
    if (storeFailure)
        std::rethrow_exception(storeFailure);
}

void ChangePasswordDialog::cancel()
{
    close();
}

void ChangePasswordDialog::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    markClosedForGood(this);
    // Every way of closing ends the window (WA_DeleteOnClose), the title bar's close button too,
    // so the reference never names a window that is gone.
}

void ChangePasswordDialog::showError(const QString& text, QLineEdit* field)
{
    MessageBox::critical(this, kCaption, text);
    field->setFocus();
}

void ChangePasswordDialog::storeNewPassword(const QString& newPassword)
{
    const ConfigStore config;
    const SavedLogin saved = config.loadConfigInfo();
    // Only a remembered password is stored; the session keeps the one it signed in with.
    if (saved.rememberPass)
        config.saveAccount(m_session.getUserName(), newPassword, saved.userType);
}

void showChangePasswordWindow(Session& session, QWidget* owner)
{
    if (auto* open = findOpenWindow<ChangePasswordDialog>()) {
        bringToFront(open);
        return;
    }
    auto* dialog = new ChangePasswordDialog(session, owner);
    centreOverWindow(dialog, owner);
    bringToFront(dialog);
}

} // namespace quorvane
