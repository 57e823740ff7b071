#pragma once

#include <QPointer>
#include <QSystemTrayIcon>
#include <QWidget>

#include <chrono>
#include <functional>

class QAction;
class QLabel;
class QMenu;
class QWebEnginePage;

namespace quorvane {

class BrowserMessageFilter;
class BrowserView;
class DragImage;
class Image;
class ImageButton;
class PageRest;
class Session;

// The main window: a borderless window that shows the service's web application. It lives in
// the notification area from creation on and shows itself once the user is signed in. After
// sign-in a close request hides it to the tray; only "退出", the close button with close-on-exit
// set, or exitApplication end the client. On a desktop without a tray the window goes to the task
// bar instead, and its own menu offers "退出" as well.
//
// What it cannot do itself it asks for with a signal: the client opens the other windows.
class MainWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    // Shows the user signed in to `session`, which must outlive the window. Made with its
    // browser only, whose engine then starts; the title bar, menus and tray icon come with the
    // sign-in, so that a start page whose address is known early is requested before them.
    explicit MainWindow(const Session& session, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Sign-in has begun: the rest of the window and the tray icon are made, and unless a page is
    // already loading the engine starts the page's renderer process.
    void beginSignIn();
    // The user is signed in: loads the application's start page, shows the user name and the
    // title-bar buttons, and brings the window to the front.
    void showSignedIn();
    // Minimises and hides the window; only the tray icon remains. Without a tray it is only
    // minimised, to the task bar: a hidden window could not be brought back.
    void hideToTray();

    // Whether the desktop has a tray now; asked at each use, since a tray may come and go. The
    // system's answer unless the client (or a test) says otherwise.
    void setTrayAvailability(std::function<bool()> trayAvailable);
    bool trayAvailable() const { return m_trayAvailable(); }
    // Closes the window for good, which ends the client.
    void exitApplication();
    // Loads the URL in the browser with a plain GET, replacing the page.
    void navigateTo(const QString& url);
    // While the window is hidden its page is frozen, and after this long (an hour unless set)
    // discarded; shown again it is active, a discarded page loading its last address anew.
    void setHiddenPageDiscardDelay(std::chrono::milliseconds delay);
    // Shows the window in its normal state on top and makes it the active window.
    void bringToFront();

    bool allowClose() const { return m_allowClose; }

signals:
    // The tray icon or "打开Quorvane": the user wants the client in front.
    void openRequested();
    void settingsRequested();
    void changePasswordRequested();
    void feedbackRequested();
    void aboutRequested();
    // A page asks for a new window; nothing has opened yet.
    void newWindowRequested(const QUrl& url);
    // The page has loaded, or failed to.
    void pageLoaded();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* m_titleBar = nullptr;
    DragImage* m_titlePicture = nullptr;
    QLabel* m_labWelcome = nullptr;
    QLabel* m_labUserName = nullptr;
    Image* m_imgCertified = nullptr;
    Image* m_imgSplit = nullptr;
    Image* m_imgEmail = nullptr;
    QLabel* m_labFeedback = nullptr;
    Image* m_titleSeparator = nullptr;
    ImageButton* m_optionButton = nullptr;
    ImageButton* m_minimizeButton = nullptr;
    ImageButton* m_closeButton = nullptr;
    QWidget* m_browserPanel = nullptr;
    BrowserView* m_browser = nullptr;
    BrowserMessageFilter* m_browserFilter = nullptr;
    PageRest* m_pageRest = nullptr;
    QSystemTrayIcon* m_trayIcon = nullptr;
    QMenu* m_trayMenu = nullptr;
    QAction* m_miOpen = nullptr;
    QAction* m_miSetting = nullptr;
    QAction* m_miChangePassword = nullptr;
    QAction* m_miWebSite = nullptr;
    QAction* m_miAbout = nullptr;
    QAction* m_miSeparator = nullptr;
    QAction* m_miExit = nullptr;
    QMenu* m_optionMenu = nullptr;
    QAction* m_miSystemSetting = nullptr;
    QAction* m_miChangePassword2 = nullptr;
    QAction* m_miWebSite2 = nullptr;
    QAction* m_miAbout2 = nullptr;
    // Only without a tray, whose menu otherwise holds "退出".
    QAction* m_miSeparator2 = nullptr;
    QAction* m_miExit2 = nullptr;

    void createChrome();
    void createTitleBar();
    void createBrowser();
    void createMenus();
    void createTrayIcon();
    void publishHandle();

    void placeUserName();
    void layoutBrowser();
    void updateRegion();

    void onOptionClicked();
    void onMinimizeClicked();
    void onCloseClicked();
    void onWebSite();
    void onExit();
    void changePasswordPopup(QAction* item);
    void onBeforeNavigate(const QString& url, bool& cancel, bool mainFrame);
    void onNewWindow(const QString& url, bool& cancel);

    const Session& m_session;
    std::function<bool()> m_trayAvailable = &QSystemTrayIcon::isSystemTrayAvailable;
    bool m_loginStarted = false;
    // A page was asked for; the browser's own address changes only once the load has begun.
    bool m_pageRequested = false;
    bool m_allowClose = true;
    bool m_placed = false;
    bool m_handlePublished = false;
    // The title-bar link (envelope or "意见反馈") that the left button went down on.
    QPointer<QWidget> m_pressedLink;
};

} // namespace quorvane
