#pragma once

#include <QWidget>

class BrowserMessageFilter;
class BrowserView;
class DragImage;
class ImageButton;

// The service's feedback page for the signed-in user, in a small skinned window. At most one
// exists; closing it destroys it, so the next opening loads the page anew, while opening it
// again as long as it exists keeps the page where the user left it.
class FeedbackWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FeedbackWindow)

public:
    explicit FeedbackWindow(QWidget* owner = nullptr);
    ~FeedbackWindow() override;

    void closeFeedback();

    DragImage* image1 = nullptr;
    ImageButton* imgClose = nullptr;
    BrowserView* webBrowser1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void formCreate();

    BrowserMessageFilter* m_applicationEvents1 = nullptr;
};

// The feedback window while it exists; empty otherwise.
extern FeedbackWindow* frmFeedback;

// The feedback link and the mail icon of the main window: opens the window, owned by `owner`,
// when there is none, and in every case shows it in front.
void showFeedbackWindow(QWidget* owner);
