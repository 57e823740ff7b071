#pragma once

#include "notify/MessageTimings.h"
#include "server/Reply.h"
#include "ui/chrome/TitleBar.h"

#include <QPointer>
#include <QRect>
#include <QUrl>
#include <QWidget>

class QTimer;

namespace quorvane {

class BrowserView;
class DragImage;
class ImageButton;

// The notification pop-up: one server notification at a time, a web page in a small borderless
// window at the bottom right of the work area, above all other windows and never the active
// window, with no task-bar entry. It fades in once the page has loaded, stays two minutes and
// then fades out, unless the mouse is over it. Polling is paused while it is up.
//
// Created hidden once by the client and reused for every notification; closing it
// only hides it.
class NotificationPopup final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NotificationPopup)

public:
    static constexpr int kTitleHeight = TitleBar::kHeight;
    static constexpr int kCloseRightMargin = 17;
    static constexpr int kScreenRightMargin = 20;
    static constexpr int kCornerEllipse = 10;
    static constexpr int kMinimumSize = 50;

    explicit NotificationPopup(QWidget* parent = nullptr, const MessageTimings& timings = {});
    ~NotificationPopup() override;

    // Sizes the window from the record and loads the notification page (notificationStarted);
    // the window shows itself once the page has loaded.
    void showNotification(const Reply& information);

    // Turns the close timer on unless it is already counting.
    void startFadeOut();
    // Turns the close timer and translucency off.
    void stopFadeOut();

    int opacity() const { return m_opacity; }
    bool translucent() const { return m_translucent; }
    bool fadingIn() const { return m_fade == Fade::In; }
    bool fadingOut() const { return m_fade == Fade::Out; }
    bool positionPending() const { return m_positionPending; }
    const MessageTimings& timings() const { return m_timings; }

    // The primary screen without the task bar.
    static QRect workArea();
    // The window size for a notification page of the given size: 3 wider and 5 higher, the page
    // kept between kMinimumSize and what fits the work area beside the right margin.
    static QSize windowSizeFor(int width, int height, const QRect& workArea);

signals:
    // A notification is taken on: polling pauses until the window has closed.
    void notificationStarted();
    // The page asks for an address of the application in the main window ("show").
    void showRequested(const QString& url);
    // A link of the page asks for a new window; nothing has opened yet.
    void newWindowRequested(const QUrl& url);
    // A fade-in begins (once per notification, on its first completed document).
    void fadeInStarted();
    // Every opacity step of a fade, 0 (invisible) to 255 (opaque).
    void opacityChanged(int opacity);
    // The window has closed (hidden), by its button, a complete fade-out or otherwise.
    void closed();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* m_titleBar = nullptr;
    DragImage* m_titlePicture = nullptr;
    ImageButton* m_closeButton = nullptr;
    QWidget* m_browserPanel = nullptr;
    BrowserView* m_browser = nullptr;
    QTimer* m_closeTimer = nullptr;

    enum class Fade
    {
        None,
        In,
        Out
    };

    void layoutBrowser();
    void onBeforeNavigate(const QString& url, bool& cancel, bool mainFrame);
    void onDocumentComplete(const QString& url);
    void onBrowserEvent(QObject* target, QEvent* event);
    void fadeIn();
    void onCloseTimer();
    void fadeStep();
    void endFade();
    void releasePage();
    bool isMouseOver() const;
    void setOpacity(int opacity);
    void setTranslucent(bool on);
    void applyOpacity();

    MessageTimings m_timings;
    bool m_positionPending = false;

    Fade m_fade = Fade::None;
    int m_nextOpacity = 0;
    QTimer* m_fadeTimer = nullptr;
    int m_opacity = 255;
    bool m_translucent = false;
};

} // namespace quorvane
