#include "ui/login/LoginWindow.h"

#include "config/ConfigStore.h"
#include "resources/SkinPictures.h"
#include "resources/SkinResources.h"
#include "ui/chrome/BorderLine.h"
#include "ui/chrome/ButtonTips.h"
#include "ui/chrome/DragImage.h"
#include "ui/chrome/Fonts.h"
#include "ui/chrome/ImageButton.h"
#include "ui/chrome/RequestRunner.h"
#include "ui/chrome/SkinBitmap.h"
#include "ui/chrome/TitleBar.h"
#include "ui/chrome/WindowRegion.h"
#include "ui/login/AccountLoginFrame.h"
#include "ui/login/MicroblogLoginFrame.h"
#include "ui/login/RegistrationFrame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QScreen>

namespace quorvane {

namespace {

constexpr QSize kClientSize(455, 350);
constexpr int kMargin = 2;
constexpr int kTitleHeight = TitleBar::kHeight;
constexpr int kSideWidth = 150;
constexpr int kCornerEllipse = 15;
const QColor kFrameHostColor(35, 83, 141);

} // namespace

LoginWindow::LoginWindow(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_session(session)
{
    setObjectName(QStringLiteral("loginWindow"));
    setWindowTitle(QStringLiteral("Quorvane"));
    setWindowIcon(applicationIcon());
    setWindowModality(Qt::ApplicationModal);
    setFont(songFont(16));
    // Key preview: the window sees every key before the focused control does.
    qApp->installEventFilter(this);
    fillBackground(this, kFrameHostColor);
    resize(kClientSize);

    m_titleBar = new TitleBar(this);
    m_titleBar->setObjectName(QStringLiteral("titleBar"));
    m_titlePicture = new DragImage(m_titleBar);
    m_titlePicture->setObjectName(QStringLiteral("titlePicture"));
    m_titlePicture->setPicture(skinBitmap(QString::fromLatin1(SkinPicture::LoginTitle)));
    m_minimizeButton = new ImageButton(QStringLiteral("MIN"), ImageButton::States::Two, m_titleBar);
    m_minimizeButton->setObjectName(QStringLiteral("minimizeButton"));
    m_minimizeButton->setToolTip(minimizeTip());
    m_minimizeButton->move(381, 8);
    m_closeButton = new ImageButton(QStringLiteral("CLOSE"), ImageButton::States::Two, m_titleBar);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    m_closeButton->setToolTip(closeTip());
    m_closeButton->move(415, 8);

    m_sidePicture = new Image(this);
    m_sidePicture->setObjectName(QStringLiteral("sidePicture"));
    m_sidePicture->setPicture(skinBitmap(QString::fromLatin1(SkinPicture::LoginSide)));

    m_frameHost = new QWidget(this);
    m_frameHost->setObjectName(QStringLiteral("frameHost"));
    fillBackground(m_frameHost, kFrameHostColor);
    // The frames' requests: the frame shown is disabled while one runs; the title bar's buttons
    // still minimise and close the window.
    m_requestRunner = new RequestRunner(this, {m_frameHost});
    layOut();

    connect(m_minimizeButton, &ImageButton::clicked, this, &LoginWindow::onMinimizeClicked);
    connect(m_closeButton, &ImageButton::clicked, this, &LoginWindow::onCloseClicked);

    // The window is not visible yet, so no frame places the caret here; FormShow does.
    if (ConfigStore().getUserType() == 1)
        adopt(new MicroblogLoginFrame(m_frameHost, m_session, *m_requestRunner));
    else
        adopt(new AccountLoginFrame(m_frameHost, m_session, *m_requestRunner));

    updateRegion(this, kCornerEllipse);
}

LoginWindow::~LoginWindow()
{
    qApp->removeEventFilter(this);
    if (m_modalLoop)
        m_modalLoop->exit();
}

int LoginWindow::showModal()
{
    m_modalResult = ResultNone;
    const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
    move(desktop.center() - rect().center());
    show();
    raise();
    activateWindow();

    QPointer<LoginWindow> alive(this);
    if (m_modalResult == ResultNone) {
        QEventLoop loop;
        m_modalLoop = &loop;
        loop.exec(QEventLoop::DialogExec);
        if (!alive)
            return ResultCancel;
        m_modalLoop = nullptr;
    }
    hide();
    return m_modalResult;
}

void LoginWindow::setModalResult(int result)
{
    m_modalResult = result;
    if (result == ResultNone)
        return;
    // Nobody waits for the answer of a sign-in that is still running.
    m_requestRunner->cancel();
    hide();
    if (m_modalLoop)
        m_modalLoop->exit();
}

QString LoginWindow::waitingForNetworkText()
{
    return QStringLiteral("等待网络连接，稍后自动登录…");
}

void LoginWindow::showNotice(const QString& text)
{
    if (auto* frame = qobject_cast<LoginFrame*>(m_currentFrame))
        frame->showEmailError(text);
}

void LoginWindow::showWaitingForNetwork(bool waiting)
{
    if (waiting) {
        showNotice(waitingForNetworkText());
        return;
    }
    if (auto* frame = qobject_cast<LoginFrame*>(m_currentFrame))
        frame->hideErrors();
}

void LoginWindow::adopt(LoginFrame* frame)
{
    connect(frame, &LoginFrame::signedIn, this, [this] { setModalResult(ResultOk); });
    connect(frame, &LoginFrame::registerRequested, this, &LoginWindow::showRegistrationFrame);
    connect(frame, &LoginFrame::microblogRequested, this, &LoginWindow::showMicroblogLoginFrame);
    connect(frame, &LoginFrame::backRequested, this, &LoginWindow::showAccountLoginFrame);
    m_currentFrame = frame;
}

void LoginWindow::showAccountLoginFrame()
{
    auto* frame = new AccountLoginFrame(m_frameHost, m_session, *m_requestRunner);
    adopt(frame);
    frame->show();
}

void LoginWindow::showRegistrationFrame()
{
    auto* frame = new RegistrationFrame(m_frameHost, m_session, *m_requestRunner);
    adopt(frame);
    frame->show();
}

void LoginWindow::showMicroblogLoginFrame()
{
    auto* frame = new MicroblogLoginFrame(m_frameHost, m_session, *m_requestRunner);
    adopt(frame);
    frame->show();
    frame->focusFirstEmpty();
}

bool LoginWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !isVisible())
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return false;
    // A key the focused control leaves alone travels on to its parents, each of which passes
    // through this filter; only its first stop, the control with the caret, counts.
    QWidget* first = focusWidget() ? focusWidget() : this;
    if (watched != first || QApplication::activeModalWidget() != this)
        return false;
    // A button reached with Tab is pressed by Enter itself.
    if (qobject_cast<ImageButton*>(first))
        return false;
    onKeyPress();
    // Not consumed: the key goes on to the focused control.
    return false;
}

void LoginWindow::onKeyPress()
{
    if (auto* frame = qobject_cast<AccountLoginFrame*>(m_currentFrame))
        frame->submitLogin();
    else if (auto* frame = qobject_cast<RegistrationFrame*>(m_currentFrame))
        frame->submitReg();
    else if (auto* frame = qobject_cast<MicroblogLoginFrame*>(m_currentFrame))
        frame->submitSinaLogin();
}

void LoginWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        onShown();
}

void LoginWindow::onShown()
{
    if (auto* frame = qobject_cast<AccountLoginFrame*>(m_currentFrame))
        frame->focusFirstEmpty();
    else if (auto* frame = qobject_cast<MicroblogLoginFrame*>(m_currentFrame))
        frame->focusFirstEmpty();
}

void LoginWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layOut();
    updateRegion(this, kCornerEllipse);
}

void LoginWindow::layOut()
{
    const int innerWidth = width() - 2 * kMargin;
    const int innerHeight = height() - 2 * kMargin;
    m_titleBar->setGeometry(kMargin, kMargin, innerWidth, kTitleHeight);
    m_titlePicture->move(0, 0);
    m_sidePicture->move(kMargin, kMargin + kTitleHeight);
    m_frameHost->setGeometry(kMargin + kSideWidth, kMargin + kTitleHeight, innerWidth - kSideWidth,
                             innerHeight - kTitleHeight);
}

void LoginWindow::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    paintBorderLine(this);
}

void LoginWindow::closeEvent(QCloseEvent* event)
{
    // Closed by the system (a window manager's close, a log-out) counts as cancel.
    event->accept();
    if (m_modalResult == ResultNone)
        setModalResult(ResultCancel);
}

void LoginWindow::onMinimizeClicked()
{
    // Hidden, not minimised to the task bar; showModal goes on running.
    hide();
}

void LoginWindow::onCloseClicked()
{
    setModalResult(ResultCancel);
}

} // namespace quorvane
