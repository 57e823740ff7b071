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
#include "ui/chrome/OpenWindows.h"
#include "ui/chrome/PageOrigin.h"
#include "ui/chrome/SkinBitmap.h"
#include "ui/chrome/WindowPlacement.h"
#include "ui/dialogs/DialogLook.h"

#include <QCloseEvent>

namespace quorvane {

FeedbackWindow::FeedbackWindow(const Session& session, QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("feedbackWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("意见反馈"));
    setWindowIcon(applicationIcon());
    setFont(tahomaFont(11));
    setFixedSize(453, 280);

    m_background = new DragImage(this);
    m_background->setObjectName(QStringLiteral("background"));
    m_background->setPicture(skinBitmap(QString::fromLatin1(SkinPicture::FeedbackBackground)));
    m_closeButton = new ImageButton(QStringLiteral("CLOSEF"), ImageButton::States::Two, this);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    m_closeButton->move(414, 20);
    m_closeButton->setAccessibleName(QStringLiteral("关闭"));
    // The keyboard belongs to the feedback page.
    m_closeButton->setFocusPolicy(Qt::NoFocus);
    m_browser = new BrowserView(this);
    m_browser->setObjectName(QStringLiteral("browser"));
    m_browser->setGeometry(24, 64, 409, 193);

    connect(m_closeButton, &ImageButton::clicked, this, &FeedbackWindow::closeFeedback);
    m_browserFilter = new BrowserMessageFilter(this, m_browser);
    m_browserFilter->setObjectName(QStringLiteral("browserFilter"));
    // A link of the feedback page that opens a window goes to the user's browser (a share page
    // too: the share window belongs to the main window); nothing else opens.
    connect(m_browser->browserPage(), &BrowserPage::newWindow, this,
            [](const QString& url, QWebEnginePage*&, bool& cancel) {
                cancel = true;
                if (routeNewWindow(QUrl(url)) != NewWindowRoute::Drop)
                    openInDefaultBrowser(url);
            });

    navigateUrl(m_browser, session.getFeedbackUrl());
}

FeedbackWindow::~FeedbackWindow() = default;

void FeedbackWindow::closeFeedback()
{
    close();
}

void FeedbackWindow::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    markClosedForGood(this);
    // Destroyed once the close has completed (WA_DeleteOnClose).
}

void showFeedbackWindow(const Session& session, QWidget* owner)
{
    auto* window = findOpenWindow<FeedbackWindow>();
    if (!window) {
        window = new FeedbackWindow(session, owner);
        centreOnScreenOf(window, owner);
    }
    bringToFront(window);
}

} // namespace quorvane
