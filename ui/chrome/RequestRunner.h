#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <utility>

namespace quorvane {

class RequestCancel;

// What a request of a window came to: its result, or the failure it raised. get() hands back the
// result or raises the failure again, so that the code reading the answer handles a failure as if
// it had made the request itself.
template <typename Result> class RequestOutcome
{
public:
    const Result& get() const
    {
        if (m_failure)
            std::rethrow_exception(m_failure);
        return *m_result;
    }

    void take(const std::function<Result()>& request)
    {
        try {
            m_result.emplace(request());
        } catch (...) {
            m_failure = std::current_exception();
        }
    }

private:
    std::optional<Result> m_result;
    std::exception_ptr m_failure;
};

// Runs the server requests of a window on a thread of their own, one at a time, so that the
// window goes on painting, moving, minimising and closing while the server takes its time. While
// a request runs, the window's inputs (what the user fills in and the button that sends it) are
// disabled under a busy cursor: no second click or Enter sends it again. Closing the window, or
// destroying the runner, cancels the request and drops its answer.
class RequestRunner final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RequestRunner)

public:
    // Without inputs, for a request the user does not wait for, the window looks as it did.
    explicit RequestRunner(QWidget* window, const QList<QWidget*>& inputs = {});
    // For requests of no window; the owner destroys it.
    RequestRunner();
    ~RequestRunner() override;

    // True while a request runs; a second one must not start then.
    bool running() const { return m_running; }

    // Runs `request` off the user-interface thread and then `onAnswer(outcome)` on it, unless the
    // request was cancelled meanwhile. A failure that escapes `onAnswer` reaches the
    // application's error display like any failure of an event handler.
    template <typename Request, typename Answer> void start(Request request, Answer onAnswer)
    {
        using Result = decltype(request());
        auto outcome = std::make_shared<RequestOutcome<Result>>();
        startWork([outcome, request = std::move(request)]() mutable { outcome->take(request); },
                  [outcome, onAnswer = std::move(onAnswer)] { onAnswer(*outcome); });
    }

    // Cancels a running request: its answer is dropped.
    void cancel();

signals:
    void started();
    void finished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void startWork(std::function<void()> work, std::function<void()> onDone);
    void workDone(const std::function<void()>& onDone);
    void showBusy(bool busy);
    void stopWorker();

    QPointer<QWidget> m_window;
    QList<QPointer<QWidget>> m_inputs;
    // The widget that had the caret when the inputs were disabled.
    QPointer<QWidget> m_focus;
    bool m_running = false;
    std::shared_ptr<RequestCancel> m_cancel;
    std::thread m_worker;
};

} // namespace quorvane
