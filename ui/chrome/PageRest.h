#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>

class QWebEnginePage;
class QWidget;

namespace quorvane {

// Lets the page of a window rest while nobody can see it. Once the window is hidden (to the
// tray), the page is frozen: no timers, no script, no rendering. After it has stayed hidden for
// a while (setDiscardAfter), the page is discarded and its renderer process ends. Shown again, the page is
// active at once; a discarded one loads its last address anew.
//
// A page loads nothing while it rests: wake() makes it active for a navigation while the window
// is hidden, and it rests again once that load has finished.
class PageRest final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PageRest)

public:
    // The page is discarded after an hour hidden unless setDiscardAfter says otherwise.
    PageRest(QWidget* window, QWebEnginePage* page);
    ~PageRest() override;

    // Makes the page active: for a navigation that follows at once, or the window shown again.
    void wake();
    // How long the window stays hidden before its page is discarded; from the next hiding on.
    void setDiscardAfter(std::chrono::milliseconds delay) { m_discardTimer.setInterval(delay); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rest();
    void discard();
    bool mayRest() const;

    QWidget* m_window;
    QWebEnginePage* m_page;
    QTimer m_discardTimer;
    bool m_hidden = false; // hidden after it was shown
};

} // namespace quorvane
