#pragma once

#include <QPointer>
#include <QWidget>

class QAction;
class QLabel;
class QMenu;
class QSystemTrayIcon;
class QWebEnginePage;
class TBrowserMessageFilter;
class TBrowserView;
class TDragImage;
class TImage;
class TImageButton;
class TTimerThread;
class TfrmLogin;
struct APIResponse;

// The main window: a borderless window that shows the service's web application. It lives in
// the notification area from creation on, signs the user in once the event loop runs, and only
// then shows itself. After sign-in a close request hides it to the tray; only "退出", the close
// button with close-on-exit set, or ExitApplication end the client.
class TfrmMain final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmMain)

public:
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Brings the client to the front: the login window while it is open, else this window.
    // Does nothing before sign-in has begun.
    void ShowMainWindow();
    // Minimises and hides the window; only the tray icon remains.
    void HideToTray();
    // Closes the window for good, which ends the client.
    void ExitApplication();
    // Loads the URL in the browser with a plain GET, replacing the page.
    void NavigateTo(const QString& url);
    // Passes a notification of the polling thread on to the notification window.
    void ShowInformation(const APIResponse& information);
    // Shows the window in its normal state on top and makes it the active window.
    void BringToFront();

    bool AllowClose() const { return allowClose; }
    bool LoginStarted() const { return loginStarted; }
    // The login window while it is open modally.
    TfrmLogin* LoginWindow() const;
    TTimerThread* TimerThread() const { return timerThread; }

    QWidget* Panel1 = nullptr;
    TDragImage* Image2 = nullptr;
    QLabel* labWelcome = nullptr;
    QLabel* labUserName = nullptr;
    TImage* imgV = nullptr;
    TImage* imgSplit = nullptr;
    TImage* imgEmail = nullptr;
    QLabel* labFeedback = nullptr;
    TImage* Image1 = nullptr;
    TImageButton* imgOption = nullptr;
    TImageButton* imgMin = nullptr;
    TImageButton* imgClose = nullptr;
    QWidget* Panel2 = nullptr;
    TBrowserView* WebBrowser = nullptr;
    TBrowserMessageFilter* ApplicationEvents1 = nullptr;
    QSystemTrayIcon* TrayIcon1 = nullptr;

    QMenu* PopupMenu1 = nullptr;
    QAction* miOpen = nullptr;
    QAction* miSetting = nullptr;
    QAction* miChangePassword = nullptr;
    QAction* miWebSite = nullptr;
    QAction* miAbout = nullptr;
    QAction* N2 = nullptr;
    QAction* miExit = nullptr;

    QMenu* pmOption = nullptr;
    QAction* miSystemSetting = nullptr;
    QAction* miChangePassword2 = nullptr;
    QAction* N7 = nullptr;
    QAction* N8 = nullptr;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void CreateTitleBar();
    void CreateBrowser();
    void CreateMenus();
    void CreateTrayIcon();
    void PublishHandle();

    void StartLogin();
    bool DoLogin();
    void AfterLogin();
    void PlaceUserName();
    void LayoutBrowser();
    void UpdateRegion();

    void imgOptionClick();
    void imgMinClick();
    void imgCloseClick();
    void labFeedbackClick();
    void miSettingClick();
    void ShowChangePassword();
    void miWebSiteClick();
    void miAboutClick();
    void miExitClick();
    void ChangePasswordPopup(QAction* item);
    void WebBrowserBeforeNavigate2(const QString& url, bool& cancel, bool mainFrame);
    void WebBrowserNewWindow2(const QString& url, bool& cancel);

    TTimerThread* timerThread = nullptr;
    QPointer<TfrmLogin> loginWindow;
    bool loginStarted = false;
    bool allowClose = true;
    bool placed_ = false;
    bool handlePublished_ = false;
    // The title-bar link (envelope or "意见反馈") that the left button went down on.
    QPointer<QWidget> pressedLink_;
};

// The one main window; empty while it does not exist.
extern TfrmMain* frmMain;
