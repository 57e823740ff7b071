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
#include "ui/chrome/ClientUrl.h"
#include "ui/chrome/DragImage.h"
#include "ui/chrome/Fonts.h"
#include "ui/chrome/ImageButton.h"
#include "ui/chrome/NavigateUrl.h"
#include "ui/chrome/PageRest.h"
#include "ui/chrome/SkinBitmap.h"
#include "ui/chrome/TitleBar.h"
#include "ui/chrome/WindowRegion.h"
#include "ui/main/CompanyWebSite.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QSystemTrayIcon>

#include <memory>

namespace quorvane {

namespace {

constexpr QSize kClientSize(995, 724);
constexpr int kTitleHeight = TitleBar::kHeight;
constexpr int kCornerEllipse = 15;

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
    // The keyboard belongs to the web page (Tab walks its links); the title bar stays out of it.
    button->setFocusPolicy(Qt::NoFocus);
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

MainWindow::MainWindow(const Session& session, QWidget* parent)
    : QWidget(parent,
              Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint),
      m_session(session)
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Quorvane"));
    setWindowIcon(applicationIcon());
    // What shows around the browser panel, beside the border line.
    fillBackground(this, kBorderLineColor);
    resize(kClientSize);
    createBrowser();
}

MainWindow::~MainWindow() = default;

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

void MainWindow::createChrome()
{
    if (m_titleBar)
        return;
    createTitleBar();
    createMenus();
    createTrayIcon();

    const ConfigStore config;
    // A second start of the client finds this window through the stored id. The native window
    // comes after the start page's navigation has begun, which it would otherwise slow down.
    config.setMainHandle(static_cast<qint64>(winId()));
    m_handlePublished = true;
    config.checkFirstRun();
}

void MainWindow::createTitleBar()
{
    m_titleBar = new TitleBar(this);
    m_titleBar->setObjectName(QStringLiteral("titleBar"));
    m_titleBar->setGeometry(0, 0, width(), kTitleHeight);

    m_titlePicture = new DragImage(m_titleBar);
    m_titlePicture->setObjectName(QStringLiteral("titlePicture"));
    m_titlePicture->setPicture(skinBitmap(QString::fromLatin1(SkinPicture::MainTitle)));

    m_labWelcome = addLabel(m_titleBar, "labWelcome", QStringLiteral("欢迎！"), Qt::white, {624, 10});
    m_labUserName = addLabel(m_titleBar, "labUserName", QString(), Qt::yellow, {666, 9});
    m_imgCertified = addPicture(m_titleBar, "imgCertified", SkinPicture::CertifiedBadge, {774, 6});
    m_imgCertified->setToolTip(QStringLiteral("认证企业"));
    m_imgSplit = addPicture(m_titleBar, "imgSplit", SkinPicture::TitleSplit, {794, 11});
    m_imgEmail = addPicture(m_titleBar, "imgEmail", SkinPicture::TitleEmail, {803, 11});
    m_imgEmail->setCursor(Qt::PointingHandCursor);
    m_labFeedback = addLabel(m_titleBar, "labFeedback", QStringLiteral("  意见反馈"), Qt::white, {817, 10});
    m_labFeedback->setCursor(Qt::PointingHandCursor);
    m_titleSeparator = addPicture(m_titleBar, "titleSeparator", SkinPicture::TitleSeparator, {879, 12});

    m_optionButton = addButton(m_titleBar, "optionButton", "OPTION", optionTip(), {885, 6});
    m_minimizeButton = addButton(m_titleBar, "minimizeButton", "MIN", minimizeTip(), {912, 8});
    m_closeButton = addButton(m_titleBar, "closeButton", "CLOSE", closeTip(), {946, 8});

    m_imgEmail->installEventFilter(this);
    m_labFeedback->installEventFilter(this);
    connect(m_optionButton, &ImageButton::clicked, this, &MainWindow::onOptionClicked);
    connect(m_minimizeButton, &ImageButton::clicked, this, &MainWindow::onMinimizeClicked);
    connect(m_closeButton, &ImageButton::clicked, this, &MainWindow::onCloseClicked);
}

void MainWindow::createBrowser()
{
    m_browserPanel = new QWidget(this);
    m_browserPanel->setObjectName(QStringLiteral("browserPanel"));
    fillBackground(m_browserPanel, Qt::white);
    m_browser = new BrowserView(m_browserPanel);
    m_browser->setObjectName(QStringLiteral("browser"));
    layoutBrowser();

    connect(m_browser->browserPage(), &BrowserPage::beforeNavigate, this, &MainWindow::onBeforeNavigate);
    connect(m_browser, &QWebEngineView::loadFinished, this, &MainWindow::pageLoaded);
    connect(m_browser->browserPage(), &BrowserPage::newWindow, this,
            [this](const QString& url, QWebEnginePage*&, bool& cancel) { onNewWindow(url, cancel); });
    // The browser's own right-click menu never opens.
    m_browserFilter = new BrowserMessageFilter(this, m_browser);
    m_browserFilter->setObjectName(QStringLiteral("browserFilter"));
    // A client spends most of its life hidden in the tray; its page then costs nearly nothing.
    m_pageRest = new PageRest(this, m_browser->page());
}

void MainWindow::createMenus()
{
    m_trayMenu = new QMenu(this);
    m_trayMenu->setObjectName(QStringLiteral("trayMenu"));
    m_miOpen = addItem(m_trayMenu, "miOpen", QStringLiteral("打开Quorvane"));
    m_miSetting = addItem(m_trayMenu, "miSetting", QStringLiteral("系统设置(&S)..."));
    m_miChangePassword = addItem(m_trayMenu, "miChangePassword", QStringLiteral("修改密码..."));
    m_miWebSite = addItem(m_trayMenu, "miWebSite", QStringLiteral("Selvor网站"));
    m_miAbout = addItem(m_trayMenu, "miAbout", QStringLiteral("关于"));
    m_miSeparator = m_trayMenu->addSeparator();
    m_miSeparator->setObjectName(QStringLiteral("miSeparator"));
    m_miExit = addItem(m_trayMenu, "miExit", QStringLiteral("退出"));

    m_optionMenu = new QMenu(this);
    m_optionMenu->setObjectName(QStringLiteral("optionMenu"));
    m_miSystemSetting = addItem(m_optionMenu, "miSystemSetting", QStringLiteral("系统设置"));
    m_miChangePassword2 = addItem(m_optionMenu, "miChangePassword2", QStringLiteral("修改密码"));
    m_miWebSite2 = addItem(m_optionMenu, "miWebSite2", QStringLiteral("Selvor网站"));
    m_miAbout2 = addItem(m_optionMenu, "miAbout2", QStringLiteral("关于"));
    m_miSeparator2 = m_optionMenu->addSeparator();
    m_miSeparator2->setObjectName(QStringLiteral("miSeparator2"));
    m_miExit2 = addItem(m_optionMenu, "miExit2", QStringLiteral("退出"));
    m_miSeparator2->setVisible(false);
    m_miExit2->setVisible(false);

    connect(m_trayMenu, &QMenu::aboutToShow, this, [this] { changePasswordPopup(m_miChangePassword); });
    connect(m_optionMenu, &QMenu::aboutToShow, this, [this] {
        changePasswordPopup(m_miChangePassword2);
        // Without a tray this menu is the only way to quit.
        const bool noTray = !trayAvailable();
        m_miSeparator2->setVisible(noTray);
        m_miExit2->setVisible(noTray);
    });
    connect(m_miOpen, &QAction::triggered, this, &MainWindow::openRequested);
    connect(m_miSetting, &QAction::triggered, this, &MainWindow::settingsRequested);
    connect(m_miSystemSetting, &QAction::triggered, this, &MainWindow::settingsRequested);
    connect(m_miChangePassword, &QAction::triggered, this, &MainWindow::changePasswordRequested);
    connect(m_miChangePassword2, &QAction::triggered, this, &MainWindow::changePasswordRequested);
    connect(m_miWebSite, &QAction::triggered, this, &MainWindow::onWebSite);
    connect(m_miWebSite2, &QAction::triggered, this, &MainWindow::onWebSite);
    connect(m_miAbout, &QAction::triggered, this, &MainWindow::aboutRequested);
    connect(m_miAbout2, &QAction::triggered, this, &MainWindow::aboutRequested);
    connect(m_miExit, &QAction::triggered, this, &MainWindow::onExit);
    connect(m_miExit2, &QAction::triggered, this, &MainWindow::onExit);
}

void MainWindow::createTrayIcon()
{
    m_trayIcon = new QSystemTrayIcon(applicationIcon(), this);
    m_trayIcon->setObjectName(QStringLiteral("trayIcon"));
    m_trayIcon->setToolTip(QStringLiteral("Quorvane"));
    m_trayIcon->setContextMenu(m_trayMenu);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            emit openRequested();
    });
    m_trayIcon->show();
}

bool MainWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WinIdChange)
        publishHandle();
    return QWidget::event(event);
}

void MainWindow::beginSignIn()
{
    if (m_loginStarted)
        return;
    m_loginStarted = true;
    createChrome();
    layoutBrowser();
    // The engine starts the page's renderer process now, while the sign-in request is on its way,
    // instead of after the answer; the start page then loads in it. An empty page asks nothing
    // of any server.
    if (!m_pageRequested)
        m_browser->load(QUrl(QStringLiteral("about:blank")));
}

void MainWindow::showSignedIn()
{
    m_allowClose = false;
    // The start page is on its way while the rest of the window is made, when the sign-in
    // answer came before the sign-in began.
    navigateTo(m_session.getMainUrl());
    createChrome();
    m_closeButton->showNormalPicture();
    m_minimizeButton->showNormalPicture();
    m_optionButton->showNormalPicture();
    updateRegion();
    m_labUserName->setText(m_session.getUserName());
    placeUserName();
    bringToFront();
}

void MainWindow::placeUserName()
{
    m_labUserName->adjustSize();
    // The greeting and the name stay right-aligned against the badge or the separator.
    if (m_session.isCertified()) {
        m_imgCertified->show();
        m_labUserName->move(m_imgCertified->x() - m_labUserName->width() - 2, m_labUserName->y());
    } else {
        m_imgCertified->hide();
        m_labUserName->move(m_imgSplit->x() - m_labUserName->width() - 5, m_labUserName->y());
    }
    m_labWelcome->move(m_labUserName->x() - m_labWelcome->width() - 5, m_labWelcome->y());
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
    if (!trayAvailable()) {
        showMinimized();
        return;
    }
    setWindowState(windowState() | Qt::WindowMinimized);
    hide();
}

void MainWindow::setTrayAvailability(std::function<bool()> trayAvailable)
{
    m_trayAvailable = std::move(trayAvailable);
}

void MainWindow::exitApplication()
{
    m_allowClose = true;
    close();
}

void MainWindow::navigateTo(const QString& url)
{
    m_pageRest->wake();
    m_pageRequested = true;
    navigateUrl(m_browser, url);
}

void MainWindow::setHiddenPageDiscardDelay(std::chrono::milliseconds delay)
{
    m_pageRest->setDiscardAfter(delay);
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
    if (m_titleBar)
        m_titleBar->setGeometry(0, 0, width(), kTitleHeight);
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
    m_browserPanel->setGeometry(2, kTitleHeight, width() - 4, height() - kTitleHeight - 2);
    m_browser->setGeometry(-2, -1, m_browserPanel->width() + 2, m_browserPanel->height() + 2);
}

void MainWindow::updateRegion()
{
    quorvane::updateRegion(this, kCornerEllipse, m_browserPanel);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_imgEmail && watched != m_labFeedback)
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
                emit feedbackRequested();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::onOptionClicked()
{
    // The menu runs inside the click, so the button shows its pressed picture while it is open.
    const QPoint below = m_optionButton->mapTo(this, QPoint(0, m_optionButton->height() + 10));
    m_optionMenu->exec(mapToGlobal(below));
}

void MainWindow::onMinimizeClicked()
{
    hideToTray();
}

void MainWindow::onCloseClicked()
{
    if (ConfigStore().getCloseOnExit()) {
        m_allowClose = true;
        close();
    } else {
        hideToTray();
    }
}

void MainWindow::onWebSite()
{
    // The default browser, not the embedded one; its answer is of no interest.
    openInDefaultBrowser(companyWebSite());
}

void MainWindow::onExit()
{
    m_allowClose = true;
    close();
}

void MainWindow::changePasswordPopup(QAction* item)
{
    // A microblog session has no password of ours to change.
    item->setVisible(m_session.isLoggedIn() && m_session.isAccountLogin());
}

void MainWindow::onBeforeNavigate(const QString& url, bool& cancel, bool mainFrame)
{
    if (!isClientUrl(url))
        return;
    // Cancelled at once, whatever the action turns out to be.
    cancel = true;
    if (mayActOnClientUrl(mainFrame, m_browser->browserPage()->url()))
        handleClientUrl(url, ClientUrlListener::MainWindow, {.close = [this] { hideToTray(); }, .show = {}});
}

void MainWindow::onNewWindow(const QString& url, bool& cancel)
{
    // Handled here in every case: nothing opens with this page as its opener.
    cancel = true;
    emit newWindowRequested(QUrl(url));
}

} // namespace quorvane
