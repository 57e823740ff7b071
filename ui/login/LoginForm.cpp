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

void Fill(QWidget* widget, const QColor& color)
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
    setWindowIcon(ApplicationIcon());
    setWindowModality(Qt::ApplicationModal);
    setFont(SongFont(16));
    // Key preview: the window sees every key before the focused control does. The request
    // guard's filter, installed after it, sees input first.
    qApp->installEventFilter(this);
    requestGuard_ = new TRequestGuard(this);
    Fill(this, kFrameHostColor);
    resize(kClientSize);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Fill(Panel1, kTitleColor);
    Image1 = new TDragImage(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->SetPicture(SkinBitmap(QString::fromLatin1(SkinPicture::LoginTitle)));
    imgMin = new TImageButton(QStringLiteral("MIN"), TImageButton::TStates::Two, Panel1);
    imgMin->setObjectName(QStringLiteral("imgMin"));
    imgMin->setToolTip(MinimizeTip());
    imgMin->move(381, 8);
    imgClose = new TImageButton(QStringLiteral("CLOSE"), TImageButton::TStates::Two, Panel1);
    imgClose->setObjectName(QStringLiteral("imgClose"));
    imgClose->setToolTip(CloseTip());
    imgClose->move(415, 8);

    Image2 = new TImage(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->SetPicture(SkinBitmap(QString::fromLatin1(SkinPicture::LoginSide)));

    panFrame = new QWidget(this);
    panFrame->setObjectName(QStringLiteral("panFrame"));
    Fill(panFrame, kFrameHostColor);
    LayOut();

    connect(imgMin, &TImageButton::Clicked, this, &TfrmLogin::imgMinClick);
    connect(imgClose, &TImageButton::Clicked, this, &TfrmLogin::imgCloseClick);

    // The window is not visible yet, so no frame places the caret here; FormShow does.
    if (TSelvorConfig().GetUserType() == 1)
        currentFrame = new TframeSinaLogin(panFrame, this);
    else
        currentFrame = new TframeLogin(panFrame, this);

    UpdateRegion(this, kCornerEllipse);
}

TfrmLogin::~TfrmLogin()
{
    qApp->removeEventFilter(this);
    if (modalLoop_)
        modalLoop_->exit();
}

int TfrmLogin::ShowModal()
{
    modalResult_ = ResultNone;
    const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
    move(desktop.center() - rect().center());
    show();
    raise();
    activateWindow();

    QPointer<TfrmLogin> alive(this);
    if (modalResult_ == ResultNone) {
        QEventLoop loop;
        modalLoop_ = &loop;
        loop.exec(QEventLoop::DialogExec);
        if (!alive)
            return ResultCancel;
        modalLoop_ = nullptr;
    }
    hide();
    return modalResult_;
}

void TfrmLogin::SetModalResult(int result)
{
    modalResult_ = result;
    if (result == ResultNone)
        return;
    hide();
    if (modalLoop_)
        modalLoop_->exit();
}

void TfrmLogin::showLoginFrame()
{
    auto* frame = new TframeLogin(panFrame, this);
    frame->show();
    currentFrame = frame;
}

void TfrmLogin::showRegFrame()
{
    auto* frame = new TframeReg(panFrame, this);
    frame->show();
    currentFrame = frame;
}

void TfrmLogin::showSinaLoginFrame()
{
    auto* frame = new TframeSinaLogin(panFrame, this);
    frame->show();
    currentFrame = frame;
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
    FormKeyPress();
    // Not consumed: the key goes on to the focused control.
    return false;
}

void TfrmLogin::FormKeyPress()
{
    if (auto* frame = qobject_cast<TframeLogin*>(currentFrame))
        frame->submitLogin();
    else if (auto* frame = qobject_cast<TframeReg*>(currentFrame))
        frame->submitReg();
    else if (auto* frame = qobject_cast<TframeSinaLogin*>(currentFrame))
        frame->submitSinaLogin();
}

void TfrmLogin::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmLogin::FormShow()
{
    if (auto* frame = qobject_cast<TframeLogin*>(currentFrame))
        frame->focusFirstEmpty();
    else if (auto* frame = qobject_cast<TframeSinaLogin*>(currentFrame))
        frame->focusFirstEmpty();
}

void TfrmLogin::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayOut();
    UpdateRegion(this, kCornerEllipse);
}

void TfrmLogin::LayOut()
{
    const int innerWidth = width() - 2 * kMargin;
    const int innerHeight = height() - 2 * kMargin;
    Panel1->setGeometry(kMargin, kMargin, innerWidth, kTitleHeight);
    Image1->move(0, 0);
    Image2->move(kMargin, kMargin + kTitleHeight);
    panFrame->setGeometry(kMargin + kSideWidth, kMargin + kTitleHeight, innerWidth - kSideWidth,
                          innerHeight - kTitleHeight);
}

void TfrmLogin::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    PaintBorderLine(this);
}

void TfrmLogin::closeEvent(QCloseEvent* event)
{
    // Closed by the system (a window manager's close, a log-out) counts as cancel.
    event->accept();
    if (modalResult_ == ResultNone)
        SetModalResult(ResultCancel);
}

void TfrmLogin::imgMinClick()
{
    // Hidden, not minimised to the task bar; ShowModal goes on running.
    hide();
}

void TfrmLogin::imgCloseClick()
{
    SetModalResult(ResultCancel);
}
