#pragma once

#include <atomic>
#include <mutex>

namespace quorvane {

class HttpClient;

// Lets one thread cut short the server requests that another thread makes: a window's request
// whose window has closed. A thread binds its requests to a RequestCancel with a
// RequestCancelScope; the server client then fails them with RequestCancelled once cancel() is
// called, whether they wait for their turn or for the server.
class RequestCancel final
{
public:
    RequestCancel() = default;
    RequestCancel(const RequestCancel&) = delete;
    RequestCancel& operator=(const RequestCancel&) = delete;

    // Thread-safe; the running request and every later one of the bound thread fail.
    void cancel();
    bool cancelled() const { return m_cancelled; }

    // The server client's side: `http` runs a request of the bound thread until detach(). False
    // (and nothing attached) when the requests are cancelled already.
    bool attach(HttpClient& http);
    void detach();

private:
    std::mutex m_mutex;
    HttpClient* m_http = nullptr;
    std::atomic<bool> m_cancelled = false;
};

// The server client's side for one request: attaches `http` to the current thread's cancel, if it
// has one, for the attachment's lifetime. Raises RequestCancelled when the requests are cancelled
// already.
class CancelAttachment final
{
public:
    explicit CancelAttachment(HttpClient& http);
    ~CancelAttachment();
    CancelAttachment(const CancelAttachment&) = delete;
    CancelAttachment& operator=(const CancelAttachment&) = delete;

private:
    RequestCancel* m_cancel;
};

// Binds the server requests that the current thread makes while the scope lives to `cancel`.
class RequestCancelScope final
{
public:
    explicit RequestCancelScope(RequestCancel& cancel);
    ~RequestCancelScope();
    RequestCancelScope(const RequestCancelScope&) = delete;
    RequestCancelScope& operator=(const RequestCancelScope&) = delete;

    // The cancel the current thread's requests are bound to, if any.
    static RequestCancel* current();

private:
    RequestCancel* m_previous;
};

} // namespace quorvane
