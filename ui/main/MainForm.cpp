#include "ui/main/MainForm.h"

#include "config/SelvorConfig.h"
#include "ui/main/WindowMessages.h"

#include <QCoreApplication>

TfrmMain* frmMain = nullptr;

TfrmMain::TfrmMain(QWidget* parent) : QWidget(parent)
{
    frmMain = this;
    setWindowTitle(QStringLiteral("Quorvane"));
    setWindowFlag(Qt::FramelessWindowHint);
    resize(995, 724);

    const TSelvorConfig config;
    // A second start of the client finds this window through the stored id.
    config.SetMainHandle(static_cast<qint64>(winId()));
    config.CheckFirstRun();
    QCoreApplication::postEvent(this, new QEvent(WM_STARTLOGIN));
}

TfrmMain::~TfrmMain()
{
    if (frmMain == this)
        frmMain = nullptr;
}

bool TfrmMain::event(QEvent* event)
{
    if (event->type() == WM_STARTLOGIN) {
        StartLogin();
        return true;
    }
    if (event->type() == WM_SHOWMAINFORM) {
        ShowMainWindow();
        return true;
    }
    return QWidget::event(event);
}

void TfrmMain::StartLogin()
{
    if (loginStarted)
        return;
    loginStarted = true;
}

void TfrmMain::ShowMainWindow()
{
    showNormal();
    raise();
    activateWindow();
}
