#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <atomic>
#include <mutex>

namespace quorvane {

// How long and how much a request may take; the defaults keep a sign-in or a poll from
// hanging for ever and a hostile reply from filling the memory.
struct HttpLimits
{
    int connectTimeoutMs = 10000;      // give up connecting after this
    int totalTimeoutMs = 30000;        // whole request; 0 = no total limit
    qint64 maxBodyBytes = 1024 * 1024; // in-memory replies larger than this are refused; 0 = no limit
    qint64 maxFileBytes = 0;     // replies streamed to a file larger than this are refused; 0 = no limit
    int lowSpeedBytesPerSec = 0; // with lowSpeedSeconds: fail when slower than this for that long; 0 = off
    int lowSpeedSeconds = 0;
};

// A plain HTTP(S) GET client over libcurl. One request runs at a time; the connection is kept
// for the next request. Redirects are never followed, only http and https are allowed, and no
// proxy, user agent or header of our own is set. Every failure raises Failure with a message
// for the log; the query of the URL (which carries passwords and tokens) is never part of it. A
// server that gave no answer raises ServerUnreachable, an aborted request RequestCancelled.
class HttpClient final
{
    Q_DISABLE_COPY_MOVE(HttpClient)

public:
    explicit HttpClient(HttpLimits limits = {});
    ~HttpClient();

    // Body of a 2xx reply; raises Failure with a clear message otherwise.
    QByteArray get(const QString& url);

    // Streams the body to the file (never all in memory), replacing what the file held; on
    // failure deletes the partial file and raises Failure. maxFileBytes applies, not maxBodyBytes.
    void getToFile(const QString& url, const QString& filePath);

    // Thread-safe: the running request and later ones fail at once.
    void abort();

private:
    struct Transfer;

    void perform(const QString& url, Transfer& transfer);

    HttpLimits m_limits;
    void* m_easy = nullptr;  // CURL*
    void* m_multi = nullptr; // CURLM*: its poll can be woken from another thread by Abort
    std::mutex m_requestMutex;
    std::atomic<bool> m_aborted = false;
};

} // namespace quorvane
