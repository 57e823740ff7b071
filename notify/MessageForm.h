#pragma once

#include "notify/MessageTimings.h"
#include "server/APIResponse.h"

#include <QPointer>
#include <QRect>
#include <QWidget>

class QTimer;
class TBrowserView;
class TDragImage;
class TImageButton;
class TTimerThread;

// The notification pop-up: one server notification at a time, a web page in a small borderless
// window at the bottom right of the work area, above all other windows and never the active
// window, with no task-bar entry. It fades in once the page has loaded, stays two minutes and
// then fades out, unless the mouse is over it. Polling is paused while it is up.
//
// Created hidden once by the start-up sequence and reused for every notification; closing it
// only hides it.
class TfrmMessage final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmMessage)

public:
    static constexpr int kTitleHeight = 51;
    static constexpr int kCloseRightMargin = 17;
    static constexpr int kScreenRightMargin = 20;
    static constexpr int kCornerEllipse = 10;
    static constexpr int kMinimumSize = 50;

    explicit TfrmMessage(QWidget* parent = nullptr, const TMessageTimings& timings = {});
    ~TfrmMessage() override;

    // Sizes the window from the record, pauses `timerThread` and loads the notification page;
    // the window shows itself once the page has loaded.
    void ShowInformation(TTimerThread* timerThread, const APIResponse& information);

    // Turns Timer1 on unless it is already counting.
    void StartFadeOut();
    // Turns Timer1 and translucency off.
    void StopFadeOut();

    int Opacity() const { return opacity_; }
    bool Translucent() const { return translucent_; }
    bool FadingIn() const { return fade_ == TFade::In; }
    bool FadingOut() const { return fade_ == TFade::Out; }
    bool PositionPending() const { return positionPending; }
    const TMessageTimings& Timings() const { return timings_; }

    // The primary screen without the task bar.
    static QRect WorkArea();
    // The window size for a notification page of the given size: 3 wider and 5 higher, the page
    // kept between kMinimumSize and what fits the work area beside the right margin.
    static QSize WindowSizeFor(int width, int height, const QRect& workArea);

    QWidget* Panel1 = nullptr;
    TDragImage* Image1 = nullptr;
    TImageButton* imgClose = nullptr;
    QWidget* Panel2 = nullptr;
    TBrowserView* WebBrowser1 = nullptr;
    QTimer* Timer1 = nullptr;

signals:
    // A fade-in begins (once per notification, on its first completed document).
    void FadeInStarted();
    // Every opacity step of a fade, 0 (invisible) to 255 (opaque).
    void OpacityChanged(int opacity);
    // The window has closed (hidden), by its button, a complete fade-out or otherwise.
    void Closed();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    enum class TFade
    {
        None,
        In,
        Out
    };

    void LayoutBrowser();
    void WebBrowser1BeforeNavigate2(const QString& url, bool& cancel, bool mainFrame);
    void WebBrowser1DocumentComplete(const QString& url);
    void ApplicationEvents1Message(QObject* target, QEvent* event);
    void FadeIn();
    void Timer1Timer();
    void FadeStep();
    void EndFade();
    void ReleasePage();
    bool IsMouseOver() const;
    void SetOpacity(int opacity);
    void SetTranslucent(bool on);
    void ApplyOpacity();

    TMessageTimings timings_;
    QPointer<TTimerThread> pollingThread;
    bool positionPending = false;

    TFade fade_ = TFade::None;
    int nextOpacity_ = 0;
    QTimer* fadeTimer_ = nullptr;
    int opacity_ = 255;
    bool translucent_ = false;
};

// The one notification window; empty while it does not exist.
extern TfrmMessage* frmMessage;
