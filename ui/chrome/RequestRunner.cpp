#include "ui/chrome/RequestRunner.h"

#include "server/RequestCancel.h"

#include <QCursor>
#include <QEvent>

namespace quorvane {

RequestRunner::RequestRunner(QWidget* window, const QList<QWidget*>& inputs)
    : QObject(window), m_window(window)
{
    for (QWidget* input : inputs)
        m_inputs.append(input);
    window->installEventFilter(this);
}

RequestRunner::RequestRunner() = default;

RequestRunner::~RequestRunner()
{
    stopWorker();
}

void RequestRunner::startWork(std::function<void()> work, std::function<void()> onDone)
{
    if (m_running)
        return;
    m_running = true;
    showBusy(true);
    emit started();

    m_cancel = std::make_shared<RequestCancel>();
    m_worker = std::thread([this, cancel = m_cancel, work = std::move(work), onDone = std::move(onDone)] {
        {
            const RequestCancelScope scope(*cancel);
            work();
        }
        // Dropped unrun when the runner is destroyed first; the destructor waits for this thread.
        QMetaObject::invokeMethod(
            this, [this, onDone] { workDone(onDone); }, Qt::QueuedConnection);
    });
}

void RequestRunner::workDone(const std::function<void()>& onDone)
{
    if (m_worker.joinable())
        m_worker.join();
    const bool cancelled = m_cancel->cancelled();
    m_cancel.reset();
    m_running = false;
    showBusy(false);
    emit finished();
    if (!cancelled)
        onDone();
}

void RequestRunner::cancel()
{
    if (m_cancel)
        m_cancel->cancel();
}

void RequestRunner::stopWorker()
{
    if (!m_worker.joinable())
        return;
    // Quick: the cancelled request fails at once, whether it waits for the server or its turn.
    m_cancel->cancel();
    m_worker.join();
}

bool RequestRunner::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() == QEvent::Close && m_running)
        cancel();
    return false;
}

void RequestRunner::showBusy(bool busy)
{
    if (m_inputs.isEmpty() || !m_window)
        return;
    if (busy) {
        m_focus = m_window->focusWidget();
        for (QWidget* input : std::as_const(m_inputs)) {
            if (input)
                input->setEnabled(false);
        }
        m_window->setCursor(Qt::BusyCursor);
        return;
    }
    m_window->unsetCursor();
    for (QWidget* input : std::as_const(m_inputs)) {
        if (input)
            input->setEnabled(true);
    }
    if (m_focus && m_focus->isEnabled())
        m_focus->setFocus();
    m_focus.clear();
}

} // namespace quorvane
