#pragma once

#include "ui/login/LoginFrameBase.h"

class QLabel;
class QLineEdit;

// The frame in which a new account is registered with an e-mail address and a password typed
// twice. A successful registration signs the new user in.
class TframeReg final : public TLoginFrameBase
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TframeReg)

public:
    // The window is visible whenever this frame is made, so the caret goes into the e-mail field.
    TframeReg(QWidget* panFrame, TfrmLogin* loginForm);
    ~TframeReg() override;

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
    TImage* imgRePasswordError = nullptr;
    QLabel* labRePasswordError = nullptr;
    TImageButton* imgReg = nullptr;
    TCaptionLabel* label4 = nullptr;
    TImageButton* imgReset = nullptr;
    TCaptionLabel* label5 = nullptr;
    TImageButton* imgGoback = nullptr;
    TImage* image5 = nullptr;

private:
    void imgResetClick();
    void imgGobackClick();

    TErrorDisplay m_rePasswordError;
};
