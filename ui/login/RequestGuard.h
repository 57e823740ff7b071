#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <exception>
#include <optional>
#include <utility>

namespace quorvane {

// Runs the server requests of a window, each of which blocks the window until the reply
// arrives. Clicks and keys that reach the window meanwhile (a second click on the button, Enter
// pressed again) would only be delivered after the reply and would send the request a second
// time; they are dropped instead. The guard filters the application's events from its
// creation on: a filter installed while an event is being delivered would make the
// application hand that event to some filters twice.
class RequestGuard final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RequestGuard)

public:
    explicit RequestGuard(QWidget* window);
    ~RequestGuard() override;

    // True while a request runs; a second one must not start then.
    bool running() const { return m_running; }

    // Runs the request and hands back its result, or raises its failure once the input that
    // queued up meanwhile has been dropped.
    template <typename Request> auto run(Request&& request) -> decltype(request());

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Delivers, and so drops, the input that queued up while the request ran.
    void dropQueuedInput();

    QPointer<QWidget> m_window;
    bool m_running = false;
};

template <typename Request> auto RequestGuard::run(Request&& request) -> decltype(request())
{
    struct RunningRequest
    {
        bool& flag;
        explicit RunningRequest(bool& running) : flag(running) { flag = true; }
        ~RunningRequest() { flag = false; }
    } running(m_running);

    std::optional<decltype(request())> reply;
    std::exception_ptr failure;
    try {
        reply.emplace(request());
    } catch (...) {
        failure = std::current_exception();
    }
    dropQueuedInput();
    if (failure)
        std::rethrow_exception(failure);
    return std::move(*reply);
}

} // namespace quorvane
