#include "server/RequestCancel.h"

#include "server/HttpClient.h"
#include "server/RequestFailures.h"

namespace quorvane {

namespace {

thread_local RequestCancel* t_currentCancel = nullptr;

} // namespace

void RequestCancel::cancel()
{
    std::lock_guard lock(m_mutex);
    m_cancelled = true;
    if (m_http)
        m_http->abort();
}

bool RequestCancel::attach(HttpClient& http)
{
    std::lock_guard lock(m_mutex);
    if (m_cancelled)
        return false;
    m_http = &http;
    return true;
}

void RequestCancel::detach()
{
    std::lock_guard lock(m_mutex);
    m_http = nullptr;
}

CancelAttachment::CancelAttachment(HttpClient& http) : m_cancel(RequestCancelScope::current())
{
    if (m_cancel && !m_cancel->attach(http))
        throw RequestCancelled(QStringLiteral("The request was cancelled before it began"));
}

CancelAttachment::~CancelAttachment()
{
    if (m_cancel)
        m_cancel->detach();
}

RequestCancelScope::RequestCancelScope(RequestCancel& cancel) : m_previous(t_currentCancel)
{
    t_currentCancel = &cancel;
}

RequestCancelScope::~RequestCancelScope()
{
    t_currentCancel = m_previous;
}

RequestCancel* RequestCancelScope::current()
{
    return t_currentCancel;
}

} // namespace quorvane
