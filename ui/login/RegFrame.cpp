#include "ui/login/RegFrame.h"

#include "config/SelvorConfig.h"
#include "resources/SkinPictures.h"
#include "server/DataModule.h"
#include "ui/chrome/CaptionLabel.h"
#include "ui/chrome/Image.h"
#include "ui/chrome/ImageButton.h"
#include "ui/login/LoginFonts.h"
#include "ui/login/LoginForm.h"

#include <QLabel>
#include <QLineEdit>

namespace {

const QColor kTextColor(60, 60, 60);

} // namespace

TframeReg::TframeReg(QWidget* panFrame, TfrmLogin* loginForm)
    : TLoginFrameBase(panFrame, loginForm, SkinPicture::RegFrame)
{
    setObjectName(QStringLiteral("frameReg"));

    Label1 = AddLabel(QStringLiteral("Label1"), QStringLiteral("E-mail："), ArialFont(15), kTextColor,
                      {21, 32}, kArialAscent);
    edEmail = AddEdit(QStringLiteral("edEmail"), {86, 27}, {195, 23}, false);
    SetEditLook(edEmail, SongFont(15), kTextColor);
    AddEmailErrorDisplay({86, 61}, {107, 61});

    Label2 = AddLabel(QStringLiteral("Label2"), QStringLiteral("密码："), SongFont(15), Qt::black, {34, 91},
                      kSongAscent);
    edPassword = AddEdit(QStringLiteral("edPassword"), {86, 85}, {195, 23}, true);
    AddPasswordErrorDisplay({86, 120}, {107, 120});

    Label3 = AddLabel(QStringLiteral("Label3"), QStringLiteral("重复密码："), SongFont(15), Qt::black,
                      {4, 148}, kSongAscent);
    edRePassword = AddEdit(QStringLiteral("edRePassword"), {86, 142}, {195, 23}, true);
    rePasswordError_ = AddErrorDisplay(QStringLiteral("RePassword"), {86, 176}, {107, 176});
    imgRePasswordError = rePasswordError_.icon;
    labRePasswordError = rePasswordError_.label;
    setTabOrder(edEmail, edPassword);
    setTabOrder(edPassword, edRePassword);

    imgReg = AddButton(QStringLiteral("imgReg"), QStringLiteral("BUTTON"), {90, 203});
    Label4 = AddCaption(QStringLiteral("Label4"), QStringLiteral("注册"), imgReg, {118, 209});
    imgReset = AddButton(QStringLiteral("imgReset"), QStringLiteral("BUTTON"), {183, 203});
    Label5 = AddCaption(QStringLiteral("Label5"), QStringLiteral("重置"), imgReset, {211, 209});
    imgGoback = AddButton(QStringLiteral("imgGoback"), QStringLiteral("GOBACK"), {212, 265});
    Image5 = AddPicture(QStringLiteral("Image5"), SkinPicture::FrameFooter, {0, 274});

    connect(imgReg, &TImageButton::Clicked, this, &TframeReg::submitReg);
    connect(imgReset, &TImageButton::Clicked, this, &TframeReg::imgResetClick);
    connect(imgGoback, &TImageButton::Clicked, this, &TframeReg::imgGobackClick);

    edEmail->setFocus();
}

TframeReg::~TframeReg() = default;

void TframeReg::showRePasswordError(const QString& text)
{
    ShowError(rePasswordError_, text);
}

void TframeReg::submitReg()
{
    if (RequestRunning())
        return;
    // The trimmed text serves the checks only; the server gets the text as typed.
    const QString trimmed = TrimBlanks(edEmail->text());
    if (trimmed.isEmpty()) {
        showEmailError(QStringLiteral("请输入注册的E-mail!"));
        edEmail->setFocus();
        return;
    }
    if (!isValidEmail(trimmed)) {
        showEmailError(QStringLiteral("请输入有效的E-mail!"));
        edEmail->setFocus();
        return;
    }
    if (edPassword->text().isEmpty()) {
        showPasswordError(QStringLiteral("请填写密码!"));
        edPassword->setFocus();
        return;
    }
    if (edPassword->text() != edRePassword->text()) {
        showRePasswordError(QStringLiteral("重复密码错误!"));
        edRePassword->setFocus();
        return;
    }

    const QString userName = edEmail->text();
    const QString password = edPassword->text();
    const APIResponse reply = RunRequest([&] { return Session().Register(userName, password); });
    if (!reply.success) {
        showEmailError(reply.msg);
        return;
    }
    // The new account becomes the saved login; the two check-box flags stay as they were.
    FinishSignIn([&] { TSelvorConfig().SaveAccount(userName, password, 0); });
}

void TframeReg::imgResetClick()
{
    edEmail->clear();
    edPassword->clear();
    edRePassword->clear();
    edEmail->setFocus();
}

void TframeReg::imgGobackClick()
{
    loginForm->showLoginFrame();
    LeaveFrame();
}
