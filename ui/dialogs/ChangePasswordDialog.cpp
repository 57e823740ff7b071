#include "ui/dialogs/ChangePasswordDialog.h"

#include "config/ConfigStore.h"
#include "platform/Failure.h"
#include "resources/SkinResources.h"
#include "server/Session.h"
#include "ui/chrome/MessageBox.h"
#include "ui/dialogs/DialogLook.h"
#include "ui/dialogs/WindowPlacement.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <exception>

ChangePasswordDialog* frmChangePassword = nullptr;

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

Session& signedInSession()
{
    if (!DMod)
        throw Failure(QStringLiteral("The session has not been started."));
    return *DMod;
}

} // namespace

ChangePasswordDialog::ChangePasswordDialog(QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmChangePassword"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kCaption);
    setWindowIcon(applicationIcon());
    setFont(songFont(14));
    setFixedSize(390, 225);

    label1 = newLabel(this, "Label1", QStringLiteral("输入旧密码："), 56, 40);
    label2 = newLabel(this, "Label2", QStringLiteral("输入新密码："), 56, 84);
    label3 = newLabel(this, "Label3", QStringLiteral("再次输入："), 56, 126);
    edtOldPassword = newPasswordEdit(this, "edtOldPassword", 146, 37);
    edtNewPassword = newPasswordEdit(this, "edtNewPassword", 146, 77);
    edtNewPassword2 = newPasswordEdit(this, "edtNewPassword2", 146, 123);
    button1 = newButton(this, "Button1", QStringLiteral("修改密码"), 146, 175);
    button2 = newButton(this, "Button2", QStringLiteral("取消"), 230, 175);
    setTabOrder(edtOldPassword, edtNewPassword);
    setTabOrder(edtNewPassword, edtNewPassword2);
    setTabOrder(edtNewPassword2, button1);
    setTabOrder(button1, button2);

    connect(button1, &QPushButton::clicked, this, &ChangePasswordDialog::button1Click);
    connect(button2, &QPushButton::clicked, this, &ChangePasswordDialog::button2Click);
    edtOldPassword->setFocus();
}

ChangePasswordDialog::~ChangePasswordDialog()
{
    if (frmChangePassword == this)
        frmChangePassword = nullptr;
}

void ChangePasswordDialog::button1Click()
{
    if (edtOldPassword->text().isEmpty()) {
        showError(QStringLiteral("原始密码不能为空!"), edtOldPassword);
        return;
    }
    if (edtNewPassword->text().isEmpty()) {
        showError(QStringLiteral("请输入新密码!"), edtNewPassword);
        return;
    }
    if (edtNewPassword->text() != edtNewPassword2->text()) {
        showError(QStringLiteral("两次输入密码不一致!"), edtNewPassword2);
        edtNewPassword2->selectAll();
        return;
    }

    Session& session = signedInSession();
    const QString newPassword = edtNewPassword->text();
    // Blocks until the server answers; a failed request raises and leaves the fields as they are.
    const QString refusal = session.getApi().changePassword(session.getUserName(), edtOldPassword->text(),
                                                            newPassword, session.getToken());
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
    button2Click();
    if (storeFailure)
        std::rethrow_exception(storeFailure);
}

void ChangePasswordDialog::button2Click()
{
    close();
}

void ChangePasswordDialog::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    // Every way of closing ends the window (WA_DeleteOnClose), the title bar's close button too,
    // so the reference never names a window that is gone.
    if (frmChangePassword == this)
        frmChangePassword = nullptr;
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
        config.saveAccount(signedInSession().getUserName(), newPassword, saved.userType);
}

void showChangePasswordWindow(QWidget* owner)
{
    if (frmChangePassword) {
        bringToFront(frmChangePassword);
        return;
    }
    frmChangePassword = new ChangePasswordDialog(owner);
    centreOverWindow(frmChangePassword, owner);
    bringToFront(frmChangePassword);
}
