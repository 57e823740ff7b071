#include "ui/main/MainWindow.h"

#include "config/ConfigStore.h"
#include "platform/Failure.h"
#include "platform/Shell.h"
#include "resources/SkinPictures.h"
#include "resources/SkinResources.h"
#include "server/Session.h"
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
#include "ui/login/LoginWindow.h"
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

MainWindow* frmMain = nullptr;

namespace {

constexpr QSize kClientSize(995, 724);
constexpr int kTitleHeight = 51;
constexpr int kCornerEllipse = 15;
const QColor kTitleColor(22, 80, 153);

void fill(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

Image* addPicture(QWidget* parent, const char* name, const char* picture, QPoint pos)
{
    auto* image = new Image(parent);
    image->setObjectName(QString::fromLatin1(name));
    image->setPicture(skinBitmap(QString::fromLatin1(picture)));
    image->move(pos);
    return image;
}

// A transparent caption in the window's font; user names are shown as typed, never as markup.
QLabel* addLabel(QWidget* parent, const char* name, const QString& text, const QColor& color, QPoint pos)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setFont(songFont(12));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    label->setAutoFillBackground(false);
    placeLabel(label, pos.x(), pos.y(), kSongAscent);
    return label;
}

ImageButton* addButton(QWidget* parent, const char* name, const char* word, const QString& tip, QPoint pos)
{
    auto* button = new ImageButton(QString::fromLatin1(word), ImageButton::States::Three, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(tip);
    button->move(pos);
    return button;
}

QAction* addItem(QMenu* menu, const char* name, const QString& caption)
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    return item;
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent,
              Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint)
{
    frmMain = this;
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Quorvane"));
    setWindowIcon(applicationIcon());
    // What shows around the browser panel, beside the border line.
    fill(this, kBorderLineColor);
    resize(kClientSize);

    createTitleBar();
    createBrowser();
    createMenus();
    createTrayIcon();

    const ConfigStore config;
    // A second start of the client finds this window through the stored id.
    config.setMainHandle(static_cast<qint64>(winId()));
    m_handlePublished = true;
    config.checkFirstRun();
    // Sign-in begins once the event loop runs, after every long-lived window exists.
    QCoreApplication::postEvent(this, new QEvent(WM_STARTLOGIN));
}

MainWindow::~MainWindow()
{
    OtherWindows::stopPollingThread(m_timerThread);
    m_timerThread = nullptr;
    if (frmMain == this)
        frmMain = nullptr;
}

LoginWindow* MainWindow::loginWindow() const
{
    return m_loginWindow;
}

void MainWindow::publishHandle()
{
    // The window system may give the window a new id, for instance when the browser first
    // draws into it; a second start must find the window by its current one.
    const WId id = internalWinId();
    if (!m_handlePublished || id == 0)
        return;
    try {
        ConfigStore().setMainHandle(static_cast<qint64>(id));
    } catch (const Failure&) {
        // The id stored before stays; a second start then finds no window, as after a crash.
    }
}

void MainWindow::createTitleBar()
{
    panel1 = new QWidget(this);
    panel1->setObjectName(QStringLiteral("Panel1"));
    fill(panel1, kTitleColor);
    panel1->setGeometry(0, 0, width(), kTitleHeight);

    image2 = new DragImage(panel1);
    image2->setObjectName(QStringLiteral("Image2"));
    image2->setPicture(skinBitmap(QString::fromLatin1(SkinPicture::MainTitle)));

    labWelcome = addLabel(panel1, "labWelcome", QStringLiteral("欢迎！"), Qt::white, {624, 10});
    labUserName = addLabel(panel1, "labUserName", QString(), Qt::yellow, {666, 9});
    imgV = addPicture(panel1, "imgV", SkinPicture::CertifiedBadge, {774, 6});
    imgV->setToolTip(QStringLiteral("认证企业"));
    imgSplit = addPicture(panel1, "imgSplit", SkinPicture::TitleSplit, {794, 11});
    imgEmail = addPicture(panel1, "imgEmail", SkinPicture::TitleEmail, {803, 11});
    imgEmail->setCursor(Qt::PointingHandCursor);
    labFeedback = addLabel(panel1, "labFeedback", QStringLiteral("  意见反馈"), Qt::white, {817, 10});
    labFeedback->setCursor(Qt::PointingHandCursor);
    image1 = addPicture(panel1, "Image1", SkinPicture::TitleSeparator, {879, 12});

    imgOption = addButton(panel1, "imgOption", "OPTION", optionTip(), {885, 6});
    imgMin = addButton(panel1, "imgMin", "MIN", minimizeTip(), {912, 8});
    imgClose = addButton(panel1, "imgClose", "CLOSE", closeTip(), {946, 8});

    imgEmail->installEventFilter(this);
    labFeedback->installEventFilter(this);
    connect(imgOption, &ImageButton::clicked, this, &MainWindow::imgOptionClick);
    connect(imgMin, &ImageButton::clicked, this, &MainWindow::imgMinClick);
    connect(imgClose, &ImageButton::clicked, this, &MainWindow::imgCloseClick);
}

void MainWindow::createBrowser()
{
    panel2 = new QWidget(this);
    panel2->setObjectName(QStringLiteral("Panel2"));
    fill(panel2, Qt::white);
    webBrowser = new BrowserView(panel2);
    webBrowser->setObjectName(QStringLiteral("WebBrowser"));
    layoutBrowser();

    connect(webBrowser->browserPage(), &BrowserPage::beforeNavigate, this,
            &MainWindow::webBrowserBeforeNavigate2);
    connect(
        webBrowser->browserPage(), &BrowserPage::newWindow, this,
        [this](const QString& url, QWebEnginePage*&, bool& cancel) { webBrowserNewWindow2(url, cancel); });
    // The browser's own right-click menu never opens.
    applicationEvents1 = new BrowserMessageFilter(this, webBrowser);
}

void MainWindow::createMenus()
{
    popupMenu1 = new QMenu(this);
    popupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    miOpen = addItem(popupMenu1, "miOpen", QStringLiteral("打开Quorvane"));
    miSetting = addItem(popupMenu1, "miSetting", QStringLiteral("系统设置(&S)..."));
    miChangePassword = addItem(popupMenu1, "miChangePassword", QStringLiteral("修改密码..."));
    miWebSite = addItem(popupMenu1, "miWebSite", QStringLiteral("Selvor网站"));
    miAbout = addItem(popupMenu1, "miAbout", QStringLiteral("关于"));
    n2 = popupMenu1->addSeparator();
    n2->setObjectName(QStringLiteral("N2"));
    miExit = addItem(popupMenu1, "miExit", QStringLiteral("退出"));

    pmOption = new QMenu(this);
    pmOption->setObjectName(QStringLiteral("pmOption"));
    miSystemSetting = addItem(pmOption, "miSystemSetting", QStringLiteral("系统设置"));
    miChangePassword2 = addItem(pmOption, "miChangePassword2", QStringLiteral("修改密码"));
    n7 = addItem(pmOption, "N7", QStringLiteral("Selvor网站"));
    n8 = addItem(pmOption, "N8", QStringLiteral("关于"));

    connect(popupMenu1, &QMenu::aboutToShow, this, [this] { changePasswordPopup(miChangePassword); });
    connect(pmOption, &QMenu::aboutToShow, this, [this] { changePasswordPopup(miChangePassword2); });
    connect(miOpen, &QAction::triggered, this, &MainWindow::showMainWindow);
    connect(miSetting, &QAction::triggered, this, &MainWindow::miSettingClick);
    connect(miSystemSetting, &QAction::triggered, this, &MainWindow::miSettingClick);
    connect(miChangePassword, &QAction::triggered, this, &MainWindow::showChangePassword);
    connect(miChangePassword2, &QAction::triggered, this, &MainWindow::showChangePassword);
    connect(miWebSite, &QAction::triggered, this, &MainWindow::miWebSiteClick);
    connect(n7, &QAction::triggered, this, &MainWindow::miWebSiteClick);
    connect(miAbout, &QAction::triggered, this, &MainWindow::miAboutClick);
    connect(n8, &QAction::triggered, this, &MainWindow::miAboutClick);
    connect(miExit, &QAction::triggered, this, &MainWindow::miExitClick);
}

void MainWindow::createTrayIcon()
{
    trayIcon1 = new QSystemTrayIcon(applicationIcon(), this);
    trayIcon1->setObjectName(QStringLiteral("TrayIcon1"));
    trayIcon1->setToolTip(QStringLiteral("Quorvane"));
    trayIcon1->setContextMenu(popupMenu1);
    connect(trayIcon1, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            showMainWindow();
    });
    trayIcon1->show();
}

bool MainWindow::event(QEvent* event)
{
    if (event->type() == WM_STARTLOGIN) {
        startLogin();
        return true;
    }
    if (event->type() == WM_SHOWMAINFORM) {
        showMainWindow();
        return true;
    }
    if (event->type() == QEvent::WinIdChange)
        publishHandle();
    return QWidget::event(event);
}

void MainWindow::startLogin()
{
    if (m_loginStarted)
        return;
    layoutBrowser();
    m_loginStarted = true;
    if (doLogin())
        afterLogin();
    else
        QCoreApplication::exit(0);
}

bool MainWindow::doLogin()
{
    const ConfigStore config;
    const SavedLogin saved = config.loadConfigInfo();
    if (config.canAutoLogin(saved) && signInAutomatically(saved))
        return true;

    // Owned by the application, not by this hidden window.
    auto window = std::make_unique<LoginWindow>();
    m_loginWindow = window.get();
    const int result = window->showModal();
    window.reset();
    m_loginWindow = nullptr;
    return result == LoginWindow::ResultOk;
}

void MainWindow::afterLogin()
{
    m_allowClose = false;
    navigateTo(DMod->getMainUrl());
    m_timerThread = OtherWindows::startPollingThread(this);
    imgClose->showNormalPicture();
    imgMin->showNormalPicture();
    imgOption->showNormalPicture();
    updateRegion();
    labUserName->setText(DMod->getUserName());
    placeUserName();
    bringToFront();
}

void MainWindow::placeUserName()
{
    labUserName->adjustSize();
    // The greeting and the name stay right-aligned against the badge or the separator.
    if (DMod->isCertified()) {
        imgV->show();
        labUserName->move(imgV->x() - labUserName->width() - 2, labUserName->y());
    } else {
        imgV->hide();
        labUserName->move(imgSplit->x() - labUserName->width() - 5, labUserName->y());
    }
    labWelcome->move(labUserName->x() - labWelcome->width() - 5, labWelcome->y());
}

void MainWindow::showMainWindow()
{
    if (!m_loginStarted)
        return;
    if (m_loginWindow) {
        // The login window may have been hidden by its minimise button; it is still modal.
        m_loginWindow->show();
        m_loginWindow->raise();
        m_loginWindow->activateWindow();
        return;
    }
    bringToFront();
}

void MainWindow::bringToFront()
{
    if (!m_placed) {
        // Centred on the screen when first shown.
        m_placed = true;
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->geometry().center() - rect().center());
    }
    showNormal();
    raise();
    activateWindow();
}

void MainWindow::hideToTray()
{
    setWindowState(windowState() | Qt::WindowMinimized);
    hide();
}

void MainWindow::exitApplication()
{
    m_allowClose = true;
    close();
}

void MainWindow::navigateTo(const QString& url)
{
    navigateUrl(webBrowser, url);
}

void MainWindow::showInformation(const Reply& information)
{
    OtherWindows::showInformation(m_timerThread, information);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!m_allowClose) {
        // After sign-in, closing from the task bar or the system menu only hides the window.
        event->ignore();
        hideToTray();
        return;
    }
    event->accept();
    // The application does not end with its last window; closing this one ends it.
    QCoreApplication::exit(0);
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    panel1->setGeometry(0, 0, width(), kTitleHeight);
    if (m_loginStarted)
        layoutBrowser();
    updateRegion();
}

void MainWindow::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    paintBorderLine(this);
}

void MainWindow::layoutBrowser()
{
    // The browser reaches 2 pixels past the panel's left edge and 1 past its top and bottom;
    // the panel clips those strips.
    panel2->setGeometry(2, kTitleHeight, width() - 4, height() - kTitleHeight - 2);
    webBrowser->setGeometry(-2, -1, panel2->width() + 2, panel2->height() + 2);
}

void MainWindow::updateRegion()
{
    ::updateRegion(this, kCornerEllipse, panel2);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != imgEmail && watched != labFeedback)
        return QWidget::eventFilter(watched, event);
    auto* link = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            m_pressedLink = event->type() == QEvent::MouseButtonPress ? link : nullptr;
    } else if (event->type() == QEvent::MouseButtonRelease) {
        const auto* release = static_cast<QMouseEvent*>(event);
        if (release->button() == Qt::LeftButton) {
            const bool click = m_pressedLink == link && link->rect().contains(release->position().toPoint());
            m_pressedLink = nullptr;
            if (click)
                labFeedbackClick();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::imgOptionClick()
{
    // The menu runs inside the click, so the button shows its pressed picture while it is open.
    const QPoint below = imgOption->mapTo(this, QPoint(0, imgOption->height() + 10));
    pmOption->exec(mapToGlobal(below));
}

void MainWindow::imgMinClick()
{
    hideToTray();
}

void MainWindow::imgCloseClick()
{
    if (ConfigStore().getCloseOnExit()) {
        m_allowClose = true;
        close();
    } else {
        hideToTray();
    }
}

void MainWindow::labFeedbackClick()
{
    OtherWindows::showFeedbackWindow(this);
}

void MainWindow::miSettingClick()
{
    OtherWindows::showSettingWindow(this);
}

void MainWindow::showChangePassword()
{
    OtherWindows::showChangePasswordWindow(this);
}

void MainWindow::miWebSiteClick()
{
    // The default browser, not the embedded one; its answer is of no interest.
    openInDefaultBrowser(companyWebSite());
}

void MainWindow::miAboutClick()
{
    OtherWindows::showAboutWindow(this);
}

void MainWindow::miExitClick()
{
    m_allowClose = true;
    close();
}

void MainWindow::changePasswordPopup(QAction* item)
{
    // A microblog session has no password of ours to change.
    item->setVisible(DMod && DMod->isLoggedIn() && DMod->isAccountLogin());
}

void MainWindow::webBrowserBeforeNavigate2(const QString& url, bool& cancel, bool mainFrame)
{
    if (!isClientUrl(url))
        return;
    // Cancelled at once, whatever the action turns out to be.
    cancel = true;
    if (mayActOnClientUrl(mainFrame, webBrowser->browserPage()->url()))
        handleClientUrl(url, ClientUrlListener::MainWindow, this);
}

void MainWindow::webBrowserNewWindow2(const QString& url, bool& cancel)
{
    // Handled here in every case: nothing opens with this page as its opener.
    cancel = true;
    OtherWindows::openNewWindow(this, QUrl(url));
}
