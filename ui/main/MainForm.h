#pragma once

#include <QWidget>

// The main window: hidden from creation until sign-in has succeeded.
class TfrmMain final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmMain)

public:
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Brings the client to the front.
    void ShowMainWindow();

protected:
    bool event(QEvent* event) override;

private:
    void StartLogin();

    bool loginStarted = false;
};

// The one main window; empty while it does not exist.
extern TfrmMain* frmMain;
