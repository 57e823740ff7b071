#include "ui/login/LoginForm.h"

#include "config/SelvorConfig.h"
#include "resources/SkinPictures.h"
#include "resources/SkinResources.h"
#include "ui/chrome/BorderLine.h"
#include "ui/chrome/ButtonTips.h"
#include "ui/chrome/DragImage.h"
#include "ui/chrome/ImageButton.h"
#include "ui/chrome/SkinBitmap.h"
#include "ui/chrome/WindowRegion.h"
#include "ui/login/LoginFonts.h"
#include "ui/login/LoginFrame.h"
#include "ui/login/RegFrame.h"
#include "ui/login/RequestGuard.h"
#include "ui/login/SinaLoginFrame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QScreen>

namespace {

constexpr QSize kClientSize(455, 350);
constexpr int kMargin = 2;
constexpr int kTitleHeight = 51;
constexpr int kSideWidth = 150;
constexpr int kCornerEllipse = 15;
const QColor kTitleColor(22, 80, 153);
const QColor kFrameHostColor(35, 83, 141);

void fill(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

TfrmLogin::TfrmLogin(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("Quorvane"));
    setWindowIcon(applicationIcon());
    setWindowModality(Qt::ApplicationModal);
    setFont(songFont(16));
    // Key preview: the window sees every key before the focused control does. The request
    // guard's filter, installed after it, sees input first.
    qApp->installEventFilter(this);
    m_requestGuard = new TRequestGuard(this);
    fill(this, kFrameHostColor);
    resize(kClientSize);

    panel1 = new QWidget(this);
    panel1->setObjectName(QStringLiteral("Panel1"));
    fill(panel1, kTitleColor);
    image1 = new TDragImage(panel1);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setPicture(skinBitmap(QString::fromLatin1(SkinPicture::LoginTitle)));
    imgMin = new TImageButton(QStringLiteral("MIN"), TImageButton::TStates::Two, panel1);
    imgMin->setObjectName(QStringLiteral("imgMin"));
    imgMin->setToolTip(minimizeTip());
    imgMin->move(381, 8);
    imgClose = new TImageButton(QStringLiteral("CLOSE"), TImageButton::TStates::Two, panel1);
    imgClose->setObjectName(QStringLiteral("imgClose"));
    imgClose->setToolTip(closeTip());
    imgClose->move(415, 8);

    image2 = new TImage(this);
    image2->setObjectName(QStringLiteral("Image2"));
    image2->setPicture(skinBitmap(QString::fromLatin1(SkinPicture::LoginSide)));

    panFrame = new QWidget(this);
    panFrame->setObjectName(QStringLiteral("panFrame"));
    fill(panFrame, kFrameHostColor);
    layOut();

    connect(imgMin, &TImageButton::clicked, this, &TfrmLogin::imgMinClick);
    connect(imgClose, &TImageButton::clicked, this, &TfrmLogin::imgCloseClick);

    // The window is not visible yet, so no frame places the caret here; FormShow does.
    if (TSelvorConfig().getUserType() == 1)
        m_currentFrame = new TframeSinaLogin(panFrame, this);
    else
        m_currentFrame = new TframeLogin(panFrame, this);

    updateRegion(this, kCornerEllipse);
}

TfrmLogin::~TfrmLogin()
{
    qApp->removeEventFilter(this);
    if (m_modalLoop)
        m_modalLoop->exit();
}

int TfrmLogin::showModal()
{
    m_modalResult = ResultNone;
    const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
    move(desktop.center() - rect().center());
    show();
    raise();
    activateWindow();

    QPointer<TfrmLogin> alive(this);
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

void TfrmLogin::setModalResult(int result)
{
    m_modalResult = result;
    if (result == ResultNone)
        return;
    hide();
    if (m_modalLoop)
        m_modalLoop->exit();
}

void TfrmLogin::showLoginFrame()
{
    auto* frame = new TframeLogin(panFrame, this);
    frame->show();
    m_currentFrame = frame;
}

void TfrmLogin::showRegFrame()
{
    auto* frame = new TframeReg(panFrame, this);
    frame->show();
    m_currentFrame = frame;
}

void TfrmLogin::showSinaLoginFrame()
{
    auto* frame = new TframeSinaLogin(panFrame, this);
    frame->show();
    m_currentFrame = frame;
    frame->focusFirstEmpty();
}

bool TfrmLogin::eventFilter(QObject* watched, QEvent* event)
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
    formKeyPress();
    // Not consumed: the key goes on to the focused control.
    return false;
}

void TfrmLogin::formKeyPress()
{
    if (auto* frame = qobject_cast<TframeLogin*>(m_currentFrame))
        frame->submitLogin();
    else if (auto* frame = qobject_cast<TframeReg*>(m_currentFrame))
        frame->submitReg();
    else if (auto* frame = qobject_cast<TframeSinaLogin*>(m_currentFrame))
        frame->submitSinaLogin();
}

void TfrmLogin::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        formShow();
}

void TfrmLogin::formShow()
{
    if (auto* frame = qobject_cast<TframeLogin*>(m_currentFrame))
        frame->focusFirstEmpty();
    else if (auto* frame = qobject_cast<TframeSinaLogin*>(m_currentFrame))
        frame->focusFirstEmpty();
}

void TfrmLogin::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layOut();
    updateRegion(this, kCornerEllipse);
}

void TfrmLogin::layOut()
{
    const int innerWidth = width() - 2 * kMargin;
    const int innerHeight = height() - 2 * kMargin;
    panel1->setGeometry(kMargin, kMargin, innerWidth, kTitleHeight);
    image1->move(0, 0);
    image2->move(kMargin, kMargin + kTitleHeight);
    panFrame->setGeometry(kMargin + kSideWidth, kMargin + kTitleHeight, innerWidth - kSideWidth,
                          innerHeight - kTitleHeight);
}

void TfrmLogin::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    paintBorderLine(this);
}

void TfrmLogin::closeEvent(QCloseEvent* event)
{
    // Closed by the system (a window manager's close, a log-out) counts as cancel.
    event->accept();
    if (m_modalResult == ResultNone)
        setModalResult(ResultCancel);
}

void TfrmLogin::imgMinClick()
{
    // Hidden, not minimised to the task bar; ShowModal goes on running.
    hide();
}

void TfrmLogin::imgCloseClick()
{
    setModalResult(ResultCancel);
}
