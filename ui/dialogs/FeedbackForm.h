#pragma once

#include <QWidget>

class TBrowserMessageFilter;
class TBrowserView;
class TDragImage;
class TImageButton;

// The service's feedback page for the signed-in user, in a small skinned window. At most one
// exists; closing it destroys it, so the next opening loads the page anew, while opening it
// again as long as it exists keeps the page where the user left it.
class TfrmFeedback final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmFeedback)

public:
    explicit TfrmFeedback(QWidget* owner = nullptr);
    ~TfrmFeedback() override;

    void closeFeedback();

    TDragImage* image1 = nullptr;
    TImageButton* imgClose = nullptr;
    TBrowserView* webBrowser1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void formCreate();

    TBrowserMessageFilter* m_applicationEvents1 = nullptr;
};

// The feedback window while it exists; empty otherwise.
extern TfrmFeedback* frmFeedback;

// The feedback link and the mail icon of the main window: opens the window, owned by `owner`,
// when there is none, and in every case shows it in front.
void showFeedbackWindow(QWidget* owner);
