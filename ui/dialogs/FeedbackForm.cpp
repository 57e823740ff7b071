#include "ui/dialogs/FeedbackForm.h"

#include "platform/Failure.h"
#include "platform/Shell.h"
#include "resources/SkinPictures.h"
#include "resources/SkinResources.h"
#include "server/DataModule.h"
#include "ui/chrome/BrowserMessageFilter.h"
#include "ui/chrome/BrowserPage.h"
#include "ui/chrome/BrowserView.h"
#include "ui/chrome/DragImage.h"
#include "ui/chrome/ImageButton.h"
#include "ui/chrome/NavigateUrl.h"
#include "ui/chrome/PageOrigin.h"
#include "ui/chrome/SkinBitmap.h"
#include "ui/dialogs/DialogLook.h"
#include "ui/dialogs/WindowPlacement.h"

#include <QCloseEvent>

TfrmFeedback* frmFeedback = nullptr;

TfrmFeedback::TfrmFeedback(QWidget* owner) : QWidget(owner, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmFeedback"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("意见反馈"));
    setWindowIcon(applicationIcon());
    setFont(tahomaFont(11));
    setFixedSize(453, 280);

    image1 = new TDragImage(this);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setPicture(skinBitmap(QString::fromLatin1(SkinPicture::FeedbackBackground)));
    imgClose = new TImageButton(QStringLiteral("CLOSEF"), TImageButton::TStates::Two, this);
    imgClose->setObjectName(QStringLiteral("imgClose"));
    imgClose->move(414, 20);
    webBrowser1 = new TBrowserView(this);
    webBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    webBrowser1->setGeometry(24, 64, 409, 193);

    connect(imgClose, &TImageButton::clicked, this, &TfrmFeedback::closeFeedback);
    m_applicationEvents1 = new TBrowserMessageFilter(this, webBrowser1);
    // A link of the feedback page that opens a window goes to the user's browser (a share page
    // too: the share window belongs to the main window); nothing else opens.
    connect(webBrowser1->browserPage(), &TBrowserPage::newWindow, this,
            [](const QString& url, QWebEnginePage*&, bool& cancel) {
                cancel = true;
                if (routeNewWindow(QUrl(url)) != TNewWindowRoute::Drop)
                    openInDefaultBrowser(url);
            });

    formCreate();
}

TfrmFeedback::~TfrmFeedback()
{
    if (frmFeedback == this)
        frmFeedback = nullptr;
}

void TfrmFeedback::formCreate()
{
    if (!DMod)
        throw TFailure(QStringLiteral("The session has not been started."));
    navigateUrl(webBrowser1, DMod->getFeedbackUrl());
}

void TfrmFeedback::closeFeedback()
{
    close();
}

void TfrmFeedback::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    // Destroyed once the close has completed (WA_DeleteOnClose).
    if (frmFeedback == this)
        frmFeedback = nullptr;
}

void showFeedbackWindow(QWidget* owner)
{
    if (!frmFeedback) {
        frmFeedback = new TfrmFeedback(owner);
        centreOnScreenOf(frmFeedback, owner);
    }
    bringToFront(frmFeedback);
}
