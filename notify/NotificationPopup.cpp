#include "notify/NotificationPopup.h"

#include "notify/MessageTitle.h"
#include "ui/chrome/BorderLine.h"
#include "ui/chrome/BrowserMessageFilter.h"
#include "ui/chrome/BrowserPage.h"
#include "ui/chrome/BrowserView.h"
#include "ui/chrome/ButtonTips.h"
#include "ui/chrome/ClientUrl.h"
#include "ui/chrome/DragImage.h"
#include "ui/chrome/ImageButton.h"
#include "ui/chrome/NavigateUrl.h"
#include "ui/chrome/TitleBar.h"
#include "ui/chrome/WindowRegion.h"

#include <QCloseEvent>
#include <QCursor>
#include <QDebug>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <exception>

namespace quorvane {

namespace {

// The page is 3 pixels narrower and 5 lower than the window around it.
constexpr int kExtraWidth = 3;
constexpr int kExtraHeight = 5;

// Wayland leaves a window's opacity to the compositor: asking for it would only warn, at every
// step of a fade. The notification then shows without fading.
bool windowSystemSetsOpacity()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

NotificationPopup::NotificationPopup(QWidget* parent, const MessageTimings& timings)
    : QWidget(parent,
              Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      m_timings(timings)
{
    setWindowTitle(QStringLiteral("Quorvane"));
    // Shown at the side of whatever the user is doing, never taking the keyboard from it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    // Closing the pop-up while the main window sits in the tray must not end the client.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(415, 510);

    m_titleBar = new TitleBar(this);
    m_titleBar->setObjectName(QStringLiteral("titleBar"));
    m_titleBar->installEventFilter(this);

    m_titlePicture = new DragImage(m_titleBar);
    m_titlePicture->setObjectName(QStringLiteral("titlePicture"));
    m_closeButton = new ImageButton(QStringLiteral("CLOSE"), ImageButton::States::Two, m_titleBar);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    m_closeButton->setToolTip(closeTip());
    // The pop-up never takes the keyboard from the window the user works in.
    m_closeButton->setFocusPolicy(Qt::NoFocus);
    connect(m_closeButton, &ImageButton::clicked, this, &QWidget::close);

    m_browserPanel = new QWidget(this);
    m_browserPanel->setObjectName(QStringLiteral("browserPanel"));
    m_browser = new BrowserView(m_browserPanel);
    m_browser->setObjectName(QStringLiteral("browser"));
    connect(m_browser->browserPage(), &BrowserPage::beforeNavigate, this,
            &NotificationPopup::onBeforeNavigate);
    connect(m_browser->browserPage(), &BrowserPage::documentComplete, this,
            &NotificationPopup::onDocumentComplete);
    // A link of the notification that opens a window: a share page in the share window, any other
    // web address in the user's browser.
    connect(m_browser->browserPage(), &BrowserPage::newWindow, this,
            [this](const QString& url, QWebEnginePage*&, bool& cancel) {
                cancel = true;
                emit newWindowRequested(QUrl(url));
            });
    new BrowserMessageFilter(this, m_browser,
                             [this](QObject* target, QEvent* event) { onBrowserEvent(target, event); });

    m_closeTimer = new QTimer(this);
    m_closeTimer->setObjectName(QStringLiteral("closeTimer"));
    m_closeTimer->setInterval(m_timings.showMs);
    connect(m_closeTimer, &QTimer::timeout, this, &NotificationPopup::onCloseTimer);

    m_fadeTimer = new QTimer(this);
    m_fadeTimer->setSingleShot(true);
    m_fadeTimer->setTimerType(Qt::PreciseTimer);
    connect(m_fadeTimer, &QTimer::timeout, this, &NotificationPopup::fadeStep);

    m_closeButton->move(width() - m_closeButton->width() - kCloseRightMargin, 8);
    layoutBrowser();
}

NotificationPopup::~NotificationPopup()
{
    // The filter's extra step calls into this window: it must go before the window is half gone.
    qDeleteAll(findChildren<BrowserMessageFilter*>(Qt::FindDirectChildrenOnly));
}

QRect NotificationPopup::workArea()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

QSize NotificationPopup::windowSizeFor(int width, int height, const QRect& workArea)
{
    // A bad reply must make neither an invisible window nor one that covers the screen.
    const int widest = std::max(kMinimumSize, workArea.width() - kScreenRightMargin - kExtraWidth);
    const int highest = std::max(kMinimumSize, workArea.height() - kExtraHeight);
    return {std::clamp(width, kMinimumSize, widest) + kExtraWidth,
            std::clamp(height, kMinimumSize, highest) + kExtraHeight};
}

void NotificationPopup::showNotification(const Reply& information)
{
    emit notificationStarted();
    m_positionPending = true;
    // A record that arrives while the window fades out replaces the notification: the window
    // stays and fades in anew once the new page has loaded.
    if (m_fade == Fade::Out)
        endFade();

    resize(windowSizeFor(information.width, information.height, workArea()));
    m_closeButton->move(width() - m_closeButton->width() - kCloseRightMargin, 8);
    layoutBrowser();
    updateRegion(this, kCornerEllipse, m_browserPanel);
    navigateUrl(m_browser, information.url);
    // A countdown already running goes on from its start.
    if (!m_closeTimer->isActive())
        m_closeTimer->start();
}

void NotificationPopup::layoutBrowser()
{
    m_titleBar->setGeometry(0, 0, width(), kTitleHeight);
    if (m_titlePicture->picture().isNull() || m_titlePicture->width() < width())
        m_titlePicture->setPicture(messageTitlePicture(width()));
    const int top = m_titleBar->height();
    m_browserPanel->setGeometry(2, top, width() - 4, height() - top - 2);
    // The panel clips the browser's own edge: 2 pixels on the left, 1 at the top and bottom.
    m_browser->setGeometry(-2, -1, m_browserPanel->width() + 2, m_browserPanel->height() + 2);
}

void NotificationPopup::onBeforeNavigate(const QString& url, bool& cancel, bool mainFrame)
{
    try {
        if (!isClientUrl(url))
            return;
        cancel = true;
        if (mayActOnClientUrl(mainFrame, m_browser->browserPage()->url()))
            handleClientUrl(
                url, ClientUrlListener::NotificationWindow,
                {.close = {}, .show = [this](const QString& target) { emit showRequested(target); }});
    } catch (const std::exception& failure) {
        // Raised inside the browser engine's callback, a failure must go no further.
        qWarning() << "Client URL not handled:" << failure.what();
        cancel = isClientUrl(url);
    }
}

void NotificationPopup::onDocumentComplete(const QString&)
{
    // Frames complete too; only the first completion after a new notification counts.
    if (!m_positionPending)
        return;
    m_positionPending = false;
    const QRect area = workArea();
    move(area.x() + area.width() - width() - kScreenRightMargin, y());
    fadeIn();
}

void NotificationPopup::fadeIn()
{
    const QRect area = workArea();
    move(x(), area.y() + area.height() - height());
    setOpacity(0);
    setTranslucent(true);
    show();
    raise();
    m_fade = Fade::In;
    m_nextOpacity = 0;
    emit fadeInStarted();
    fadeStep();
}

void NotificationPopup::onCloseTimer()
{
    m_closeTimer->stop();
    setTranslucent(true);
    m_fade = Fade::Out;
    m_nextOpacity = 255;
    fadeStep();
}

// One step of the running fade. The steps follow one another through a timer, so the user
// interface keeps working between them without a nested event loop.
void NotificationPopup::fadeStep()
{
    switch (m_fade) {
    case Fade::None:
        return;
    case Fade::In:
        setOpacity(m_nextOpacity);
        if (m_nextOpacity >= 255) {
            endFade();
            return;
        }
        m_fadeTimer->start(m_timings.fadeInPause(m_nextOpacity));
        ++m_nextOpacity;
        return;
    case Fade::Out:
        if (m_nextOpacity < 0) {
            endFade();
            close();
            return;
        }
        if (isMouseOver()) {
            stopFadeOut();
            return;
        }
        setOpacity(m_nextOpacity);
        --m_nextOpacity;
        m_fadeTimer->start(m_timings.fadeOutMs);
        return;
    }
}

void NotificationPopup::endFade()
{
    m_fade = Fade::None;
    m_fadeTimer->stop();
}

void NotificationPopup::startFadeOut()
{
    if (!m_closeTimer->isActive())
        m_closeTimer->start();
}

void NotificationPopup::stopFadeOut()
{
    if (m_fade == Fade::Out)
        endFade();
    m_closeTimer->stop();
    setTranslucent(false);
}

bool NotificationPopup::isMouseOver() const
{
    // A window that never came up (its page did not load) cannot have the mouse over it.
    return isVisible() && frameGeometry().contains(QCursor::pos());
}

void NotificationPopup::onBrowserEvent(QObject* target, QEvent* event)
{
    // Cheap tests first: this step sees every event of the application.
    const bool pointer = event->isSinglePointEvent();
    if (!pointer && event->type() != QEvent::Leave)
        return;
    if (!isVisible() || !target->isWidgetType())
        return;
    auto* widget = static_cast<QWidget*>(target);
    if (widget != m_browser && !m_browser->isAncestorOf(widget))
        return;
    const QPoint cursor =
        pointer ? static_cast<QSinglePointEvent*>(event)->globalPosition().toPoint() : QCursor::pos();
    if (!frameGeometry().contains(cursor))
        startFadeOut();
}

bool NotificationPopup::event(QEvent* event)
{
    // Leaving the window through its thin border, away from the title bar and the page, starts
    // the countdown as well.
    if (event->type() == QEvent::Leave && isVisible() && !isMouseOver())
        startFadeOut();
    return QWidget::event(event);
}

bool NotificationPopup::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_titleBar && event->type() == QEvent::Leave)
        startFadeOut();
    return QWidget::eventFilter(watched, event);
}

void NotificationPopup::paintEvent(QPaintEvent*)
{
    paintBorderLine(this);
}

void NotificationPopup::closeEvent(QCloseEvent* event)
{
    event->accept();
    endFade();
    // The next notification gets its full two minutes, and a page still loading for this one
    // can no longer bring the window back.
    m_closeTimer->stop();
    m_positionPending = false;
    m_browser->stop();
    // The engine gives up a page only once its window is off the screen, after this event.
    QTimer::singleShot(0, this, &NotificationPopup::releasePage);
    emit closed();
}

void NotificationPopup::releasePage()
{
    // A client resting in the tray keeps no renderer process for a notification it no longer
    // shows; the next notification loads its page anew. One handed over since the close is
    // loading already (hidden, with its two minutes counting) and keeps its page.
    if (!isVisible() && !m_closeTimer->isActive())
        m_browser->browserPage()->setLifecycleState(QWebEnginePage::LifecycleState::Discarded);
}

void NotificationPopup::setOpacity(int opacity)
{
    m_opacity = opacity;
    applyOpacity();
    emit opacityChanged(opacity);
}

void NotificationPopup::setTranslucent(bool on)
{
    m_translucent = on;
    applyOpacity();
}

void NotificationPopup::applyOpacity()
{
    if (windowSystemSetsOpacity())
        setWindowOpacity(m_translucent ? m_opacity / 255.0 : 1.0);
}

} // namespace quorvane
