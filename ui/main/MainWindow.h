#pragma once

#include <QPointer>
#include <QWidget>

class QAction;
class QLabel;
class QMenu;
class QSystemTrayIcon;
class QWebEnginePage;
class BrowserMessageFilter;
class BrowserView;
class DragImage;
class Image;
class ImageButton;
class Poller;
class LoginWindow;
struct Reply;

// The main window: a borderless window that shows the service's web application. It lives in
// the notification area from creation on, signs the user in once the event loop runs, and only
// then shows itself. After sign-in a close request hides it to the tray; only "退出", the close
// button with close-on-exit set, or ExitApplication end the client.
class MainWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Brings the client to the front: the login window while it is open, else this window.
    // Does nothing before sign-in has begun.
    void showMainWindow();
    // Minimises and hides the window; only the tray icon remains.
    void hideToTray();
    // Closes the window for good, which ends the client.
    void exitApplication();
    // Loads the URL in the browser with a plain GET, replacing the page.
    void navigateTo(const QString& url);
    // Passes a notification of the polling thread on to the notification window.
    void showInformation(const Reply& information);
    // Shows the window in its normal state on top and makes it the active window.
    void bringToFront();

    bool allowClose() const { return m_allowClose; }
    bool loginStarted() const { return m_loginStarted; }
    // The login window while it is open modally.
    LoginWindow* loginWindow() const;
    Poller* timerThread() const { return m_timerThread; }

    QWidget* panel1 = nullptr;
    DragImage* image2 = nullptr;
    QLabel* labWelcome = nullptr;
    QLabel* labUserName = nullptr;
    Image* imgV = nullptr;
    Image* imgSplit = nullptr;
    Image* imgEmail = nullptr;
    QLabel* labFeedback = nullptr;
    Image* image1 = nullptr;
    ImageButton* imgOption = nullptr;
    ImageButton* imgMin = nullptr;
    ImageButton* imgClose = nullptr;
    QWidget* panel2 = nullptr;
    BrowserView* webBrowser = nullptr;
    BrowserMessageFilter* applicationEvents1 = nullptr;
    QSystemTrayIcon* trayIcon1 = nullptr;

    QMenu* popupMenu1 = nullptr;
    QAction* miOpen = nullptr;
    QAction* miSetting = nullptr;
    QAction* miChangePassword = nullptr;
    QAction* miWebSite = nullptr;
    QAction* miAbout = nullptr;
    QAction* n2 = nullptr;
    QAction* miExit = nullptr;

    QMenu* pmOption = nullptr;
    QAction* miSystemSetting = nullptr;
    QAction* miChangePassword2 = nullptr;
    QAction* n7 = nullptr;
    QAction* n8 = nullptr;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void createTitleBar();
    void createBrowser();
    void createMenus();
    void createTrayIcon();
    void publishHandle();

    void startLogin();
    bool doLogin();
    void afterLogin();
    void placeUserName();
    void layoutBrowser();
    void updateRegion();

    void imgOptionClick();
    void imgMinClick();
    void imgCloseClick();
    void labFeedbackClick();
    void miSettingClick();
    void showChangePassword();
    void miWebSiteClick();
    void miAboutClick();
    void miExitClick();
    void changePasswordPopup(QAction* item);
    void webBrowserBeforeNavigate2(const QString& url, bool& cancel, bool mainFrame);
    void webBrowserNewWindow2(const QString& url, bool& cancel);

    Poller* m_timerThread = nullptr;
    QPointer<LoginWindow> m_loginWindow;
    bool m_loginStarted = false;
    bool m_allowClose = true;
    bool m_placed = false;
    bool m_handlePublished = false;
    // The title-bar link (envelope or "意见反馈") that the left button went down on.
    QPointer<QWidget> m_pressedLink;
};

// The one main window; empty while it does not exist.
extern MainWindow* frmMain;
