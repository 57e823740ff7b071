#include "ui/main/MainForm.h"

#include "config/SelvorConfig.h"
#include "platform/Failure.h"
#include "platform/Shell.h"
#include "resources/SkinPictures.h"
#include "resources/SkinResources.h"
#include "server/DataModule.h"
#include "ui/chrome/BorderLine.h"
#include "ui/chrome/BrowserMessageFilter.h"
#include "ui/chrome/BrowserPage.h"
#include "ui/chrome/BrowserView.h"
#include "ui/chrome/ButtonTips.h"
#include "ui/chrome/DragImage.h"
#include "ui/chrome/ImageButton.h"
#include "ui/chrome/NavigateUrl.h"
#include "ui/chrome/SkinBitmap.h"
#include "ui/chrome/WindowRegion.h"
#include "ui/login/LoginFonts.h"
#include "ui/login/LoginForm.h"
#include "ui/main/AutoSignIn.h"
#include "ui/main/ClientUrlScheme.h"
#include "ui/main/CompanyWebSite.h"
#include "ui/main/OtherWindows.h"
#include "ui/main/WindowMessages.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QSystemTrayIcon>

#include <memory>

TfrmMain* frmMain = nullptr;

namespace {

constexpr QSize kClientSize(995, 724);
constexpr int kTitleHeight = 51;
constexpr int kCornerEllipse = 15;
const QColor kTitleColor(22, 80, 153);

void Fill(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

TImage* AddPicture(QWidget* parent, const char* name, const char* picture, QPoint pos)
{
    auto* image = new TImage(parent);
    image->setObjectName(QString::fromLatin1(name));
    image->SetPicture(SkinBitmap(QString::fromLatin1(picture)));
    image->move(pos);
    return image;
}

// A transparent caption in the window's font; user names are shown as typed, never as markup.
QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, const QColor& color, QPoint pos)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setFont(SongFont(12));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    label->setAutoFillBackground(false);
    PlaceLabel(label, pos.x(), pos.y(), kSongAscent);
    return label;
}

TImageButton* AddButton(QWidget* parent, const char* name, const char* word, const QString& tip, QPoint pos)
{
    auto* button = new TImageButton(QString::fromLatin1(word), TImageButton::TStates::Three, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(tip);
    button->move(pos);
    return button;
}

QAction* AddItem(QMenu* menu, const char* name, const QString& caption)
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    return item;
}

} // namespace

TfrmMain::TfrmMain(QWidget* parent)
    : QWidget(parent,
              Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint)
{
    frmMain = this;
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Quorvane"));
    setWindowIcon(ApplicationIcon());
    // What shows around the browser panel, beside the border line.
    Fill(this, kBorderLineColor);
    resize(kClientSize);

    CreateTitleBar();
    CreateBrowser();
    CreateMenus();
    CreateTrayIcon();

    const TSelvorConfig config;
    // A second start of the client finds this window through the stored id.
    config.SetMainHandle(static_cast<qint64>(winId()));
    handlePublished_ = true;
    config.CheckFirstRun();
    // Sign-in begins once the event loop runs, after every long-lived window exists.
    QCoreApplication::postEvent(this, new QEvent(WM_STARTLOGIN));
}

TfrmMain::~TfrmMain()
{
    OtherWindows::StopPollingThread(timerThread);
    timerThread = nullptr;
    if (frmMain == this)
        frmMain = nullptr;
}

TfrmLogin* TfrmMain::LoginWindow() const
{
    return loginWindow;
}

void TfrmMain::PublishHandle()
{
    // The window system may give the window a new id, for instance when the browser first
    // draws into it; a second start must find the window by its current one.
    const WId id = internalWinId();
    if (!handlePublished_ || id == 0)
        return;
    try {
        TSelvorConfig().SetMainHandle(static_cast<qint64>(id));
    } catch (const TFailure&) {
        // The id stored before stays; a second start then finds no window, as after a crash.
    }
}

void TfrmMain::CreateTitleBar()
{
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Fill(Panel1, kTitleColor);
    Panel1->setGeometry(0, 0, width(), kTitleHeight);

    Image2 = new TDragImage(Panel1);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->SetPicture(SkinBitmap(QString::fromLatin1(SkinPicture::MainTitle)));

    labWelcome = AddLabel(Panel1, "labWelcome", QStringLiteral("欢迎！"), Qt::white, {624, 10});
    labUserName = AddLabel(Panel1, "labUserName", QString(), Qt::yellow, {666, 9});
    imgV = AddPicture(Panel1, "imgV", SkinPicture::CertifiedBadge, {774, 6});
    imgV->setToolTip(QStringLiteral("认证企业"));
    imgSplit = AddPicture(Panel1, "imgSplit", SkinPicture::TitleSplit, {794, 11});
    imgEmail = AddPicture(Panel1, "imgEmail", SkinPicture::TitleEmail, {803, 11});
    imgEmail->setCursor(Qt::PointingHandCursor);
    labFeedback = AddLabel(Panel1, "labFeedback", QStringLiteral("  意见反馈"), Qt::white, {817, 10});
    labFeedback->setCursor(Qt::PointingHandCursor);
    Image1 = AddPicture(Panel1, "Image1", SkinPicture::TitleSeparator, {879, 12});

    imgOption = AddButton(Panel1, "imgOption", "OPTION", OptionTip(), {885, 6});
    imgMin = AddButton(Panel1, "imgMin", "MIN", MinimizeTip(), {912, 8});
    imgClose = AddButton(Panel1, "imgClose", "CLOSE", CloseTip(), {946, 8});

    imgEmail->installEventFilter(this);
    labFeedback->installEventFilter(this);
    connect(imgOption, &TImageButton::Clicked, this, &TfrmMain::imgOptionClick);
    connect(imgMin, &TImageButton::Clicked, this, &TfrmMain::imgMinClick);
    connect(imgClose, &TImageButton::Clicked, this, &TfrmMain::imgCloseClick);
}

void TfrmMain::CreateBrowser()
{
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Fill(Panel2, Qt::white);
    WebBrowser = new TBrowserView(Panel2);
    WebBrowser->setObjectName(QStringLiteral("WebBrowser"));
    LayoutBrowser();

    connect(WebBrowser->Page(), &TBrowserPage::BeforeNavigate, this, &TfrmMain::WebBrowserBeforeNavigate2);
    connect(
        WebBrowser->Page(), &TBrowserPage::NewWindow, this,
        [this](const QString& url, QWebEnginePage*&, bool& cancel) { WebBrowserNewWindow2(url, cancel); });
    // The browser's own right-click menu never opens.
    ApplicationEvents1 = new TBrowserMessageFilter(this, WebBrowser);
}

void TfrmMain::CreateMenus()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    miOpen = AddItem(PopupMenu1, "miOpen", QStringLiteral("打开Quorvane"));
    miSetting = AddItem(PopupMenu1, "miSetting", QStringLiteral("系统设置(&S)..."));
    miChangePassword = AddItem(PopupMenu1, "miChangePassword", QStringLiteral("修改密码..."));
    miWebSite = AddItem(PopupMenu1, "miWebSite", QStringLiteral("Selvor网站"));
    miAbout = AddItem(PopupMenu1, "miAbout", QStringLiteral("关于"));
    N2 = PopupMenu1->addSeparator();
    N2->setObjectName(QStringLiteral("N2"));
    miExit = AddItem(PopupMenu1, "miExit", QStringLiteral("退出"));

    pmOption = new QMenu(this);
    pmOption->setObjectName(QStringLiteral("pmOption"));
    miSystemSetting = AddItem(pmOption, "miSystemSetting", QStringLiteral("系统设置"));
    miChangePassword2 = AddItem(pmOption, "miChangePassword2", QStringLiteral("修改密码"));
    N7 = AddItem(pmOption, "N7", QStringLiteral("Selvor网站"));
    N8 = AddItem(pmOption, "N8", QStringLiteral("关于"));

    connect(PopupMenu1, &QMenu::aboutToShow, this, [this] { ChangePasswordPopup(miChangePassword); });
    connect(pmOption, &QMenu::aboutToShow, this, [this] { ChangePasswordPopup(miChangePassword2); });
    connect(miOpen, &QAction::triggered, this, &TfrmMain::ShowMainWindow);
    connect(miSetting, &QAction::triggered, this, &TfrmMain::miSettingClick);
    connect(miSystemSetting, &QAction::triggered, this, &TfrmMain::miSettingClick);
    connect(miChangePassword, &QAction::triggered, this, &TfrmMain::ShowChangePassword);
    connect(miChangePassword2, &QAction::triggered, this, &TfrmMain::ShowChangePassword);
    connect(miWebSite, &QAction::triggered, this, &TfrmMain::miWebSiteClick);
    connect(N7, &QAction::triggered, this, &TfrmMain::miWebSiteClick);
    connect(miAbout, &QAction::triggered, this, &TfrmMain::miAboutClick);
    connect(N8, &QAction::triggered, this, &TfrmMain::miAboutClick);
    connect(miExit, &QAction::triggered, this, &TfrmMain::miExitClick);
}

void TfrmMain::CreateTrayIcon()
{
    TrayIcon1 = new QSystemTrayIcon(ApplicationIcon(), this);
    TrayIcon1->setObjectName(QStringLiteral("TrayIcon1"));
    TrayIcon1->setToolTip(QStringLiteral("Quorvane"));
    TrayIcon1->setContextMenu(PopupMenu1);
    connect(TrayIcon1, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            ShowMainWindow();
    });
    TrayIcon1->show();
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
    if (event->type() == QEvent::WinIdChange)
        PublishHandle();
    return QWidget::event(event);
}

void TfrmMain::StartLogin()
{
    if (loginStarted)
        return;
    LayoutBrowser();
    loginStarted = true;
    if (DoLogin())
        AfterLogin();
    else
        QCoreApplication::exit(0);
}

bool TfrmMain::DoLogin()
{
    const TSelvorConfig config;
    const SelvorConfigInfo saved = config.LoadConfigInfo();
    if (config.CanAutoLogin(saved) && SignInAutomatically(saved))
        return true;

    // Owned by the application, not by this hidden window.
    auto window = std::make_unique<TfrmLogin>();
    loginWindow = window.get();
    const int result = window->ShowModal();
    window.reset();
    loginWindow = nullptr;
    return result == TfrmLogin::ResultOk;
}

void TfrmMain::AfterLogin()
{
    allowClose = false;
    NavigateTo(DMod->GetMainUrl());
    timerThread = OtherWindows::StartPollingThread(this);
    imgClose->ShowNormal();
    imgMin->ShowNormal();
    imgOption->ShowNormal();
    UpdateRegion();
    labUserName->setText(DMod->GetUserName());
    PlaceUserName();
    BringToFront();
}

void TfrmMain::PlaceUserName()
{
    labUserName->adjustSize();
    // The greeting and the name stay right-aligned against the badge or the separator.
    if (DMod->IsCertified()) {
        imgV->show();
        labUserName->move(imgV->x() - labUserName->width() - 2, labUserName->y());
    } else {
        imgV->hide();
        labUserName->move(imgSplit->x() - labUserName->width() - 5, labUserName->y());
    }
    labWelcome->move(labUserName->x() - labWelcome->width() - 5, labWelcome->y());
}

void TfrmMain::ShowMainWindow()
{
    if (!loginStarted)
        return;
    if (loginWindow) {
        // The login window may have been hidden by its minimise button; it is still modal.
        loginWindow->show();
        loginWindow->raise();
        loginWindow->activateWindow();
        return;
    }
    BringToFront();
}

void TfrmMain::BringToFront()
{
    if (!placed_) {
        // Centred on the screen when first shown.
        placed_ = true;
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->geometry().center() - rect().center());
    }
    showNormal();
    raise();
    activateWindow();
}

void TfrmMain::HideToTray()
{
    setWindowState(windowState() | Qt::WindowMinimized);
    hide();
}

void TfrmMain::ExitApplication()
{
    allowClose = true;
    close();
}

void TfrmMain::NavigateTo(const QString& url)
{
    NavigateUrl(WebBrowser, url);
}

void TfrmMain::ShowInformation(const APIResponse& information)
{
    OtherWindows::ShowInformation(timerThread, information);
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    if (!allowClose) {
        // After sign-in, closing from the task bar or the system menu only hides the window.
        event->ignore();
        HideToTray();
        return;
    }
    event->accept();
    // The application does not end with its last window; closing this one ends it.
    QCoreApplication::exit(0);
}

void TfrmMain::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Panel1->setGeometry(0, 0, width(), kTitleHeight);
    if (loginStarted)
        LayoutBrowser();
    UpdateRegion();
}

void TfrmMain::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    PaintBorderLine(this);
}

void TfrmMain::LayoutBrowser()
{
    // The browser reaches 2 pixels past the panel's left edge and 1 past its top and bottom;
    // the panel clips those strips.
    Panel2->setGeometry(2, kTitleHeight, width() - 4, height() - kTitleHeight - 2);
    WebBrowser->setGeometry(-2, -1, Panel2->width() + 2, Panel2->height() + 2);
}

void TfrmMain::UpdateRegion()
{
    ::UpdateRegion(this, kCornerEllipse, Panel2);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != imgEmail && watched != labFeedback)
        return QWidget::eventFilter(watched, event);
    auto* link = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            pressedLink_ = event->type() == QEvent::MouseButtonPress ? link : nullptr;
    } else if (event->type() == QEvent::MouseButtonRelease) {
        const auto* release = static_cast<QMouseEvent*>(event);
        if (release->button() == Qt::LeftButton) {
            const bool click = pressedLink_ == link && link->rect().contains(release->position().toPoint());
            pressedLink_ = nullptr;
            if (click)
                labFeedbackClick();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmMain::imgOptionClick()
{
    // The menu runs inside the click, so the button shows its pressed picture while it is open.
    const QPoint below = imgOption->mapTo(this, QPoint(0, imgOption->height() + 10));
    pmOption->exec(mapToGlobal(below));
}

void TfrmMain::imgMinClick()
{
    HideToTray();
}

void TfrmMain::imgCloseClick()
{
    if (TSelvorConfig().GetCloseOnExit()) {
        allowClose = true;
        close();
    } else {
        HideToTray();
    }
}

void TfrmMain::labFeedbackClick()
{
    OtherWindows::ShowFeedbackWindow(this);
}

void TfrmMain::miSettingClick()
{
    OtherWindows::ShowSettingWindow(this);
}

void TfrmMain::ShowChangePassword()
{
    OtherWindows::ShowChangePasswordWindow(this);
}

void TfrmMain::miWebSiteClick()
{
    // The default browser, not the embedded one; its answer is of no interest.
    OpenInDefaultBrowser(CompanyWebSite());
}

void TfrmMain::miAboutClick()
{
    OtherWindows::ShowAboutWindow(this);
}

void TfrmMain::miExitClick()
{
    allowClose = true;
    close();
}

void TfrmMain::ChangePasswordPopup(QAction* item)
{
    // A microblog session has no password of ours to change.
    item->setVisible(DMod && DMod->IsLoggedIn() && DMod->IsAccountLogin());
}

void TfrmMain::WebBrowserBeforeNavigate2(const QString& url, bool& cancel, bool mainFrame)
{
    if (!IsClientUrl(url))
        return;
    // Cancelled at once, whatever the action turns out to be.
    cancel = true;
    if (MayActOnClientUrl(mainFrame, WebBrowser->page()->url()))
        HandleClientUrl(url, TClientUrlListener::MainWindow, this);
}

void TfrmMain::WebBrowserNewWindow2(const QString& url, bool& cancel)
{
    // Handled here in every case: nothing opens with this page as its opener.
    cancel = true;
    OtherWindows::OpenNewWindow(this, QUrl(url));
}
