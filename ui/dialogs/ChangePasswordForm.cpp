#include "ui/dialogs/ChangePasswordForm.h"

#include "config/SelvorConfig.h"
#include "platform/Failure.h"
#include "resources/SkinResources.h"
#include "server/DataModule.h"
#include "ui/chrome/MessageBox.h"
#include "ui/dialogs/DialogLook.h"
#include "ui/dialogs/WindowPlacement.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <exception>

TfrmChangePassword* frmChangePassword = nullptr;

namespace {

const QString kCaption = QStringLiteral("修改密码");

QLabel* NewLabel(QWidget* parent, const char* name, const QString& text, int x, int y)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    PlaceLabel(label, x, y, kSongAscent);
    return label;
}

QLineEdit* NewPasswordEdit(QWidget* parent, const char* name, int x, int y)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    PlaceCentred(edit, {x, y, 159, 22});
    return edit;
}

QPushButton* NewButton(QWidget* parent, const char* name, const QString& text, int x, int y)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    PlaceCentred(button, {x, y, 75, 25});
    return button;
}

TDMod& SignedInSession()
{
    if (!DMod)
        throw TFailure(QStringLiteral("The session has not been started."));
    return *DMod;
}

} // namespace

TfrmChangePassword::TfrmChangePassword(QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmChangePassword"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kCaption);
    setWindowIcon(ApplicationIcon());
    setFont(SongFont(14));
    setFixedSize(390, 225);

    Label1 = NewLabel(this, "Label1", QStringLiteral("输入旧密码："), 56, 40);
    Label2 = NewLabel(this, "Label2", QStringLiteral("输入新密码："), 56, 84);
    Label3 = NewLabel(this, "Label3", QStringLiteral("再次输入："), 56, 126);
    edtOldPassword = NewPasswordEdit(this, "edtOldPassword", 146, 37);
    edtNewPassword = NewPasswordEdit(this, "edtNewPassword", 146, 77);
    edtNewPassword2 = NewPasswordEdit(this, "edtNewPassword2", 146, 123);
    Button1 = NewButton(this, "Button1", QStringLiteral("修改密码"), 146, 175);
    Button2 = NewButton(this, "Button2", QStringLiteral("取消"), 230, 175);
    setTabOrder(edtOldPassword, edtNewPassword);
    setTabOrder(edtNewPassword, edtNewPassword2);
    setTabOrder(edtNewPassword2, Button1);
    setTabOrder(Button1, Button2);

    connect(Button1, &QPushButton::clicked, this, &TfrmChangePassword::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TfrmChangePassword::Button2Click);
    edtOldPassword->setFocus();
}

TfrmChangePassword::~TfrmChangePassword()
{
    if (frmChangePassword == this)
        frmChangePassword = nullptr;
}

void TfrmChangePassword::Button1Click()
{
    if (edtOldPassword->text().isEmpty()) {
        ShowError(QStringLiteral("原始密码不能为空!"), edtOldPassword);
        return;
    }
    if (edtNewPassword->text().isEmpty()) {
        ShowError(QStringLiteral("请输入新密码!"), edtNewPassword);
        return;
    }
    if (edtNewPassword->text() != edtNewPassword2->text()) {
        ShowError(QStringLiteral("两次输入密码不一致!"), edtNewPassword2);
        edtNewPassword2->selectAll();
        return;
    }

    TDMod& session = SignedInSession();
    const QString newPassword = edtNewPassword->text();
    // Blocks until the server answers; a failed request raises and leaves the fields as they are.
    const QString refusal = session.GetAPI().changePassword(session.GetUserName(), edtOldPassword->text(),
                                                            newPassword, session.GetToken());
    if (!refusal.isEmpty()) {
        TMessageBox::Critical(this, kCaption, refusal);
        return;
    }

    // The server has changed the password: the user hears so even when the saved login cannot
    // follow, and learns about that afterwards.
    std::exception_ptr storeFailure;
    try {
        StoreNewPassword(newPassword);
    } catch (...) {
        storeFailure = std::current_exception();
    }
    TMessageBox::Information(this, kCaption, QStringLiteral("密码修改成功!"));
    Button2Click();
    if (storeFailure)
        std::rethrow_exception(storeFailure);
}

void TfrmChangePassword::Button2Click()
{
    close();
}

void TfrmChangePassword::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    // Every way of closing ends the window (WA_DeleteOnClose), the title bar's close button too,
    // so the reference never names a window that is gone.
    if (frmChangePassword == this)
        frmChangePassword = nullptr;
}

void TfrmChangePassword::ShowError(const QString& text, QLineEdit* field)
{
    TMessageBox::Critical(this, kCaption, text);
    field->setFocus();
}

void TfrmChangePassword::StoreNewPassword(const QString& newPassword)
{
    const TSelvorConfig config;
    const SelvorConfigInfo saved = config.LoadConfigInfo();
    // Only a remembered password is stored; the session keeps the one it signed in with.
    if (saved.RememberPass)
        config.SaveAccount(SignedInSession().GetUserName(), newPassword, saved.UserType);
}

void ShowChangePasswordWindow(QWidget* owner)
{
    if (frmChangePassword) {
        BringToFront(frmChangePassword);
        return;
    }
    frmChangePassword = new TfrmChangePassword(owner);
    CentreOverWindow(frmChangePassword, owner);
    BringToFront(frmChangePassword);
}
