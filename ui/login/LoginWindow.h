#pragma once

#include <QPointer>
#include <QWidget>

class QEventLoop;

namespace quorvane {

class DragImage;
class LoginFrame;
class Session;
class Image;
class ImageButton;
class RequestRunner;

// The modal login window: a title bar, a side picture and a host panel that shows one of three
// exchangeable frames (account login, microblog login, registration).
//
// The client makes it, runs showModal and destroys it afterwards. The minimise button only
// hides the window and showModal goes on running, so the client keeps a pointer to it while
// showModal runs and brings it back with show(), raise() and activateWindow().
class LoginWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LoginWindow)

public:
    // Modal results: a user is signed in and the session holds the sign-in (OK), or the user
    // closed the window (cancel).
    static constexpr int ResultNone = 0;
    static constexpr int ResultOk = 1;
    static constexpr int ResultCancel = 2;

    // The frames sign in through `session`.
    explicit LoginWindow(Session& session, QWidget* parent = nullptr);
    ~LoginWindow() override;

    // Shows the window centred on the desktop and runs until a modal result is set.
    int showModal();
    int modalResult() const { return m_modalResult; }
    // A result other than ResultNone hides the window and ends showModal.
    void setModalResult(int result);

    // Put a new frame of that kind in place. A frame that asks for another leaves by itself;
    // any other caller destroys the old frame afterwards.
    void showAccountLoginFrame();
    void showRegistrationFrame();
    void showMicroblogLoginFrame();

    // A word for the user in the frame's message line (why the window has come up), until the
    // frame's next check or another frame takes its place.
    void showNotice(const QString& text);
    // The automatic sign-in waits for the network: the frame says so until `waiting` is false.
    void showWaitingForNetwork(bool waiting);
    static QString waitingForNetworkText();

    // The frame now shown: a AccountLoginFrame, MicroblogLoginFrame or RegistrationFrame.
    QWidget* currentFrame() const { return m_currentFrame; }
    // Runs the frames' requests to the server.
    RequestRunner& requestRunner() const { return *m_requestRunner; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* m_titleBar = nullptr;
    DragImage* m_titlePicture = nullptr;
    ImageButton* m_minimizeButton = nullptr;
    ImageButton* m_closeButton = nullptr;
    Image* m_sidePicture = nullptr;
    QWidget* m_frameHost = nullptr;

    void onShown();
    void onKeyPress();
    void onMinimizeClicked();
    void onCloseClicked();
    void layOut();
    void adopt(LoginFrame* frame);

    Session& m_session;

    QPointer<QWidget> m_currentFrame;
    int m_modalResult = ResultNone;
    QEventLoop* m_modalLoop = nullptr;
    RequestRunner* m_requestRunner = nullptr;
};

} // namespace quorvane
