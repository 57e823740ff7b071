#include "ui/chrome/PageRest.h"

#include "platform/FreeMemory.h"

#include <QEvent>
#include <QWebEnginePage>
#include <QWidget>

namespace quorvane {

PageRest::PageRest(QWidget* window, QWebEnginePage* page) : QObject(window), m_window(window), m_page(page)
{
    m_discardTimer.setSingleShot(true);
    m_discardTimer.setInterval(std::chrono::hours(1));
    connect(&m_discardTimer, &QTimer::timeout, this, &PageRest::discard);
    // A load woken for while the window is hidden rests again once it is done.
    connect(m_page, &QWebEnginePage::loadFinished, this, &PageRest::rest);
    window->installEventFilter(this);
}

PageRest::~PageRest() = default;

bool PageRest::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window) {
        if (event->type() == QEvent::Hide && !m_window->isVisible()) {
            m_hidden = true;
            m_discardTimer.start();
            // The window hears of its hiding before the view inside it, which tells the page.
            QMetaObject::invokeMethod(this, &PageRest::rest, Qt::QueuedConnection);
        } else if (event->type() == QEvent::Show) {
            m_hidden = false;
            m_discardTimer.stop();
            wake();
        }
    }
    return false;
}

bool PageRest::mayRest() const
{
    // A window not shown yet (the main window before sign-in) is not resting. The engine lets
    // only a page that is not visible rest; the view tells it so when it is hidden with its
    // window. A page that loads rests once the load has finished.
    return m_hidden && !m_window->isVisible() && !m_page->isVisible() && !m_page->isLoading();
}

void PageRest::rest()
{
    if (!mayRest() || m_page->lifecycleState() != QWebEnginePage::LifecycleState::Active)
        return;
    if (m_discardTimer.isActive())
        m_page->setLifecycleState(QWebEnginePage::LifecycleState::Frozen);
    else
        discard();
}

void PageRest::discard()
{
    if (!mayRest())
        return;
    m_page->setLifecycleState(QWebEnginePage::LifecycleState::Discarded);
    // What the engine kept for the page's renderer is freed once it has gone.
    QTimer::singleShot(std::chrono::seconds(2), this, &returnFreedMemory);
}

void PageRest::wake()
{
    if (m_page->lifecycleState() != QWebEnginePage::LifecycleState::Active)
        m_page->setLifecycleState(QWebEnginePage::LifecycleState::Active);
}

} // namespace quorvane
