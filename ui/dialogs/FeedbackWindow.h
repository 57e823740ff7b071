#pragma once

#include <QWidget>

namespace quorvane {

class BrowserMessageFilter;
class BrowserView;
class DragImage;
class ImageButton;
class Session;

// The service's feedback page for the signed-in user, in a small skinned window. At most one
// exists; closing it destroys it, so the next opening loads the page anew, while opening it
// again as long as it exists keeps the page where the user left it.
class FeedbackWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FeedbackWindow)

public:
    // Loads the feedback page of `session`'s user.
    explicit FeedbackWindow(const Session& session, QWidget* owner = nullptr);
    ~FeedbackWindow() override;

    void closeFeedback();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    DragImage* m_background = nullptr;
    ImageButton* m_closeButton = nullptr;
    BrowserView* m_browser = nullptr;

    BrowserMessageFilter* m_browserFilter = nullptr;
};

// The feedback link and the mail icon of the main window: opens the window, owned by `owner`,
// when there is none, and in every case shows it in front.
void showFeedbackWindow(const Session& session, QWidget* owner);

} // namespace quorvane
