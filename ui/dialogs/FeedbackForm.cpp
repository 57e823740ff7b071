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
    setWindowIcon(ApplicationIcon());
    setFont(TahomaFont(11));
    setFixedSize(453, 280);

    Image1 = new TDragImage(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->SetPicture(SkinBitmap(QString::fromLatin1(SkinPicture::FeedbackBackground)));
    imgClose = new TImageButton(QStringLiteral("CLOSEF"), TImageButton::TStates::Two, this);
    imgClose->setObjectName(QStringLiteral("imgClose"));
    imgClose->move(414, 20);
    WebBrowser1 = new TBrowserView(this);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setGeometry(24, 64, 409, 193);

    connect(imgClose, &TImageButton::Clicked, this, &TfrmFeedback::CloseFeedback);
    ApplicationEvents1 = new TBrowserMessageFilter(this, WebBrowser1);
    // A link of the feedback page that opens a window goes to the user's browser (a share page
    // too: the share window belongs to the main window); nothing else opens.
    connect(WebBrowser1->Page(), &TBrowserPage::NewWindow, this,
            [](const QString& url, QWebEnginePage*&, bool& cancel) {
                cancel = true;
                if (RouteNewWindow(QUrl(url)) != TNewWindowRoute::Drop)
                    OpenInDefaultBrowser(url);
            });

    FormCreate();
}

TfrmFeedback::~TfrmFeedback()
{
    if (frmFeedback == this)
        frmFeedback = nullptr;
}

void TfrmFeedback::FormCreate()
{
    if (!DMod)
        throw TFailure(QStringLiteral("The session has not been started."));
    NavigateUrl(WebBrowser1, DMod->GetFeedbackUrl());
}

void TfrmFeedback::CloseFeedback()
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

void ShowFeedbackWindow(QWidget* owner)
{
    if (!frmFeedback) {
        frmFeedback = new TfrmFeedback(owner);
        CentreOnScreenOf(frmFeedback, owner);
    }
    BringToFront(frmFeedback);
}
