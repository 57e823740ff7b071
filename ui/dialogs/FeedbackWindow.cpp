#include "ui/dialogs/FeedbackWindow.h"

#include "platform/Failure.h"
#include "platform/Shell.h"
#include "resources/SkinPictures.h"
#include "resources/SkinResources.h"
#include "server/Session.h"
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

FeedbackWindow* frmFeedback = nullptr;

FeedbackWindow::FeedbackWindow(QWidget* owner) : QWidget(owner, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmFeedback"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("意见反馈"));
    setWindowIcon(applicationIcon());
    setFont(tahomaFont(11));
    setFixedSize(453, 280);

    image1 = new DragImage(this);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setPicture(skinBitmap(QString::fromLatin1(SkinPicture::FeedbackBackground)));
    imgClose = new ImageButton(QStringLiteral("CLOSEF"), ImageButton::States::Two, this);
    imgClose->setObjectName(QStringLiteral("imgClose"));
    imgClose->move(414, 20);
    webBrowser1 = new BrowserView(this);
    webBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    webBrowser1->setGeometry(24, 64, 409, 193);

    connect(imgClose, &ImageButton::clicked, this, &FeedbackWindow::closeFeedback);
    m_applicationEvents1 = new BrowserMessageFilter(this, webBrowser1);
    // A link of the feedback page that opens a window goes to the user's browser (a share page
    // too: the share window belongs to the main window); nothing else opens.
    connect(webBrowser1->browserPage(), &BrowserPage::newWindow, this,
            [](const QString& url, QWebEnginePage*&, bool& cancel) {
                cancel = true;
                if (routeNewWindow(QUrl(url)) != NewWindowRoute::Drop)
                    openInDefaultBrowser(url);
            });

    formCreate();
}

FeedbackWindow::~FeedbackWindow()
{
    if (frmFeedback == this)
        frmFeedback = nullptr;
}

void FeedbackWindow::formCreate()
{
    if (!DMod)
        throw Failure(QStringLiteral("The session has not been started."));
    navigateUrl(webBrowser1, DMod->getFeedbackUrl());
}

void FeedbackWindow::closeFeedback()
{
    close();
}

void FeedbackWindow::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    // Destroyed once the close has completed (WA_DeleteOnClose).
    if (frmFeedback == this)
        frmFeedback = nullptr;
}

void showFeedbackWindow(QWidget* owner)
{
    if (!frmFeedback) {
        frmFeedback = new FeedbackWindow(owner);
        centreOnScreenOf(frmFeedback, owner);
    }
    bringToFront(frmFeedback);
}
