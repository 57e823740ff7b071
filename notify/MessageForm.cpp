#include "notify/MessageForm.h"

#include "notify/MessageTitle.h"
#include "notify/TimerThread.h"
#include "ui/chrome/BorderLine.h"
#include "ui/chrome/BrowserMessageFilter.h"
#include "ui/chrome/BrowserPage.h"
#include "ui/chrome/BrowserView.h"
#include "ui/chrome/ButtonTips.h"
#include "ui/chrome/DragImage.h"
#include "ui/chrome/ImageButton.h"
#include "ui/chrome/NavigateUrl.h"
#include "ui/chrome/WindowRegion.h"
#include "ui/main/ClientUrlScheme.h"
#include "ui/main/OtherWindows.h"

#include <QCloseEvent>
#include <QCursor>
#include <QDebug>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <exception>

TfrmMessage* frmMessage = nullptr;

namespace {

const QColor kTitleColor{22, 80, 153};

// The page is 3 pixels narrower and 5 lower than the window around it.
constexpr int kExtraWidth = 3;
constexpr int kExtraHeight = 5;

} // namespace

TfrmMessage::TfrmMessage(QWidget* parent, const TMessageTimings& timings)
    : QWidget(parent,
              Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      timings_(timings)
{
    frmMessage = this;
    setWindowTitle(QStringLiteral("Quorvane"));
    // Shown at the side of whatever the user is doing, never taking the keyboard from it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    // Closing the pop-up while the main window sits in the tray must not end the client.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(415, 510);

    Panel1 = new QWidget(this);
    Panel1->setAutoFillBackground(true);
    QPalette titlePalette = Panel1->palette();
    titlePalette.setColor(QPalette::Window, kTitleColor);
    Panel1->setPalette(titlePalette);
    Panel1->installEventFilter(this);

    Image1 = new TDragImage(Panel1);
    imgClose = new TImageButton(QStringLiteral("CLOSE"), TImageButton::TStates::Two, Panel1);
    imgClose->setToolTip(CloseTip());
    connect(imgClose, &TImageButton::Clicked, this, &QWidget::close);

    Panel2 = new QWidget(this);
    WebBrowser1 = new TBrowserView(Panel2);
    connect(WebBrowser1->Page(), &TBrowserPage::BeforeNavigate, this,
            &TfrmMessage::WebBrowser1BeforeNavigate2);
    connect(WebBrowser1->Page(), &TBrowserPage::DocumentComplete, this,
            &TfrmMessage::WebBrowser1DocumentComplete);
    // A link of the notification that opens a window: a share page in the share window, any other
    // web address in the user's browser.
    connect(WebBrowser1->Page(), &TBrowserPage::NewWindow, this,
            [this](const QString& url, QWebEnginePage*&, bool& cancel) {
                cancel = true;
                OtherWindows::OpenNewWindow(this, QUrl(url));
            });
    new TBrowserMessageFilter(this, WebBrowser1, [this](QObject* target, QEvent* event) {
        ApplicationEvents1Message(target, event);
    });

    Timer1 = new QTimer(this);
    Timer1->setInterval(timings_.showMs);
    connect(Timer1, &QTimer::timeout, this, &TfrmMessage::Timer1Timer);

    fadeTimer_ = new QTimer(this);
    fadeTimer_->setSingleShot(true);
    fadeTimer_->setTimerType(Qt::PreciseTimer);
    connect(fadeTimer_, &QTimer::timeout, this, &TfrmMessage::FadeStep);

    imgClose->move(width() - imgClose->width() - kCloseRightMargin, 8);
    LayoutBrowser();
}

TfrmMessage::~TfrmMessage()
{
    // The filter's extra step calls into this window: it must go before the window is half gone.
    qDeleteAll(findChildren<TBrowserMessageFilter*>(Qt::FindDirectChildrenOnly));
    if (frmMessage == this)
        frmMessage = nullptr;
}

QRect TfrmMessage::WorkArea()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

QSize TfrmMessage::WindowSizeFor(int width, int height, const QRect& workArea)
{
    // A bad reply must make neither an invisible window nor one that covers the screen.
    const int widest = std::max(kMinimumSize, workArea.width() - kScreenRightMargin - kExtraWidth);
    const int highest = std::max(kMinimumSize, workArea.height() - kExtraHeight);
    return {std::clamp(width, kMinimumSize, widest) + kExtraWidth,
            std::clamp(height, kMinimumSize, highest) + kExtraHeight};
}

void TfrmMessage::ShowInformation(TTimerThread* timerThread, const APIResponse& information)
{
    pollingThread = timerThread;
    if (timerThread)
        timerThread->PausePolling();
    positionPending = true;
    // A record that arrives while the window fades out replaces the notification: the window
    // stays and fades in anew once the new page has loaded.
    if (fade_ == TFade::Out)
        EndFade();

    resize(WindowSizeFor(information.width, information.height, WorkArea()));
    imgClose->move(width() - imgClose->width() - kCloseRightMargin, 8);
    LayoutBrowser();
    UpdateRegion(this, kCornerEllipse, Panel2);
    NavigateUrl(WebBrowser1, information.url);
    // A countdown already running goes on from its start.
    if (!Timer1->isActive())
        Timer1->start();
}

void TfrmMessage::LayoutBrowser()
{
    Panel1->setGeometry(0, 0, width(), kTitleHeight);
    if (Image1->Picture().isNull() || Image1->width() < width())
        Image1->SetPicture(MessageTitlePicture(width()));
    const int top = Panel1->height();
    Panel2->setGeometry(2, top, width() - 4, height() - top - 2);
    // The panel clips the browser's own edge: 2 pixels on the left, 1 at the top and bottom.
    WebBrowser1->setGeometry(-2, -1, Panel2->width() + 2, Panel2->height() + 2);
}

void TfrmMessage::WebBrowser1BeforeNavigate2(const QString& url, bool& cancel, bool mainFrame)
{
    try {
        if (!IsClientUrl(url))
            return;
        cancel = true;
        if (MayActOnClientUrl(mainFrame, WebBrowser1->page()->url()))
            HandleClientUrl(url, TClientUrlListener::NotificationWindow, this);
    } catch (const std::exception& failure) {
        // Raised inside the browser engine's callback, a failure must go no further.
        qWarning() << "Client URL not handled:" << failure.what();
        cancel = IsClientUrl(url);
    }
}

void TfrmMessage::WebBrowser1DocumentComplete(const QString&)
{
    // Frames complete too; only the first completion after a new notification counts.
    if (!positionPending)
        return;
    positionPending = false;
    const QRect area = WorkArea();
    move(area.x() + area.width() - width() - kScreenRightMargin, y());
    FadeIn();
}

void TfrmMessage::FadeIn()
{
    const QRect area = WorkArea();
    move(x(), area.y() + area.height() - height());
    SetOpacity(0);
    SetTranslucent(true);
    show();
    raise();
    fade_ = TFade::In;
    nextOpacity_ = 0;
    emit FadeInStarted();
    FadeStep();
}

void TfrmMessage::Timer1Timer()
{
    Timer1->stop();
    SetTranslucent(true);
    fade_ = TFade::Out;
    nextOpacity_ = 255;
    FadeStep();
}

// One step of the running fade. The steps follow one another through a timer, so the user
// interface keeps working between them without a nested event loop.
void TfrmMessage::FadeStep()
{
    switch (fade_) {
    case TFade::None:
        return;
    case TFade::In:
        SetOpacity(nextOpacity_);
        if (nextOpacity_ >= 255) {
            EndFade();
            return;
        }
        fadeTimer_->start(timings_.FadeInPause(nextOpacity_));
        ++nextOpacity_;
        return;
    case TFade::Out:
        if (nextOpacity_ < 0) {
            EndFade();
            close();
            return;
        }
        if (IsMouseOver()) {
            StopFadeOut();
            return;
        }
        SetOpacity(nextOpacity_);
        --nextOpacity_;
        fadeTimer_->start(timings_.fadeOutMs);
        return;
    }
}

void TfrmMessage::EndFade()
{
    fade_ = TFade::None;
    fadeTimer_->stop();
}

void TfrmMessage::StartFadeOut()
{
    if (!Timer1->isActive())
        Timer1->start();
}

void TfrmMessage::StopFadeOut()
{
    if (fade_ == TFade::Out)
        EndFade();
    Timer1->stop();
    SetTranslucent(false);
}

bool TfrmMessage::IsMouseOver() const
{
    // A window that never came up (its page did not load) cannot have the mouse over it.
    return isVisible() && frameGeometry().contains(QCursor::pos());
}

void TfrmMessage::ApplicationEvents1Message(QObject* target, QEvent* event)
{
    // Cheap tests first: this step sees every event of the application.
    const bool pointer = event->isSinglePointEvent();
    if (!pointer && event->type() != QEvent::Leave)
        return;
    if (!isVisible() || !target->isWidgetType())
        return;
    auto* widget = static_cast<QWidget*>(target);
    if (widget != WebBrowser1 && !WebBrowser1->isAncestorOf(widget))
        return;
    const QPoint cursor =
        pointer ? static_cast<QSinglePointEvent*>(event)->globalPosition().toPoint() : QCursor::pos();
    if (!frameGeometry().contains(cursor))
        StartFadeOut();
}

bool TfrmMessage::event(QEvent* event)
{
    // Leaving the window through its thin border, away from the title bar and the page, starts
    // the countdown as well.
    if (event->type() == QEvent::Leave && isVisible() && !IsMouseOver())
        StartFadeOut();
    return QWidget::event(event);
}

bool TfrmMessage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Panel1 && event->type() == QEvent::Leave)
        StartFadeOut();
    return QWidget::eventFilter(watched, event);
}

void TfrmMessage::paintEvent(QPaintEvent*)
{
    PaintBorderLine(this);
}

void TfrmMessage::closeEvent(QCloseEvent* event)
{
    event->accept();
    EndFade();
    // The next notification gets its full two minutes, and a page still loading for this one
    // can no longer bring the window back.
    Timer1->stop();
    positionPending = false;
    WebBrowser1->stop();
    // The engine gives up a page only once its window is off the screen, after this event.
    QTimer::singleShot(0, this, &TfrmMessage::ReleasePage);
    if (pollingThread)
        pollingThread->ResumePolling();
    emit Closed();
}

void TfrmMessage::ReleasePage()
{
    // A client resting in the tray keeps no renderer process for a notification it no longer
    // shows; the next notification loads its page anew. One handed over since the close is
    // loading already (hidden, with its two minutes counting) and keeps its page.
    if (!isVisible() && !Timer1->isActive())
        WebBrowser1->page()->setLifecycleState(QWebEnginePage::LifecycleState::Discarded);
}

void TfrmMessage::SetOpacity(int opacity)
{
    opacity_ = opacity;
    ApplyOpacity();
    emit OpacityChanged(opacity);
}

void TfrmMessage::SetTranslucent(bool on)
{
    translucent_ = on;
    ApplyOpacity();
}

void TfrmMessage::ApplyOpacity()
{
    setWindowOpacity(translucent_ ? opacity_ / 255.0 : 1.0);
}
