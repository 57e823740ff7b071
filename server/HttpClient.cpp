#include "server/HttpClient.h"

#include "platform/Failure.h"
#include "server/RequestFailures.h"

#include <QFile>
#include <QUrl>

#include <algorithm>

#include <curl/curl.h>

namespace quorvane {

namespace {

void initCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

CURL* easyHandle(void* handle)
{
    return static_cast<CURL*>(handle);
}

CURLM* multiHandle(void* handle)
{
    return static_cast<CURLM*>(handle);
}

// The address for messages: never the query, which carries passwords and tokens.
QString describe(const QUrl& url)
{
    return url.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo).toDisplayString();
}

QString hostOf(const QUrl& url)
{
    return url.port() < 0 ? url.host() : QStringLiteral("%1:%2").arg(url.host()).arg(url.port());
}

QString duration(int ms)
{
    if (ms % 1000 == 0)
        return QStringLiteral("%1 s").arg(ms / 1000);
    return QStringLiteral("%1 ms").arg(ms);
}

QString size(qint64 bytes)
{
    if (bytes % (1024 * 1024) == 0)
        return QStringLiteral("%1 MiB").arg(bytes / (1024 * 1024));
    return QStringLiteral("%1 bytes").arg(bytes);
}

bool isSuccessStatus(long status)
{
    return status >= 200 && status <= 299;
}

} // namespace

struct HttpClient::Transfer
{
    CURL* easy = nullptr;
    QByteArray* body = nullptr; // in-memory target
    QFile* file = nullptr;      // or the file target
    qint64 maxBytes = 0;
    qint64 received = 0;
    bool tooLarge = false;
    bool badStatus = false;
    QString fileError;
    QByteArray statusLine;
    char errors[CURL_ERROR_SIZE] = {};

    static size_t onHeader(char* data, size_t size, size_t count, void* self)
    {
        auto* transfer = static_cast<Transfer*>(self);
        const QByteArray line = QByteArray(data, static_cast<qsizetype>(size * count)).trimmed();
        if (line.startsWith("HTTP/"))
            transfer->statusLine = line.left(200);
        return size * count;
    }

    static size_t onBody(char* data, size_t size, size_t count, void* self)
    {
        auto* transfer = static_cast<Transfer*>(self);
        const size_t length = size * count;
        long status = 0;
        curl_easy_getinfo(transfer->easy, CURLINFO_RESPONSE_CODE, &status);
        // The body of an error or redirect reply is of no use: stop reading it at once.
        if (!isSuccessStatus(status)) {
            transfer->badStatus = true;
            return 0;
        }
        transfer->received += static_cast<qint64>(length);
        if (transfer->maxBytes > 0 && transfer->received > transfer->maxBytes) {
            transfer->tooLarge = true;
            return 0;
        }
        if (transfer->body) {
            transfer->body->append(data, static_cast<qsizetype>(length));
            return length;
        }
        if (transfer->file->write(data, static_cast<qint64>(length)) != static_cast<qint64>(length)) {
            transfer->fileError = transfer->file->errorString();
            return 0;
        }
        return length;
    }
};

HttpClient::HttpClient(HttpLimits limits) : m_limits(limits)
{
    initCurlOnce();
    m_easy = curl_easy_init();
    m_multi = curl_multi_init();
    if (!m_easy || !m_multi) {
        curl_easy_cleanup(easyHandle(m_easy));
        curl_multi_cleanup(multiHandle(m_multi));
        throw Failure(QStringLiteral("The HTTP client could not be created"));
    }
    CURL* easy = easyHandle(m_easy);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_limits.connectTimeoutMs));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(m_limits.totalTimeoutMs));
    if (m_limits.lowSpeedBytesPerSec > 0 && m_limits.lowSpeedSeconds > 0) {
        curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, static_cast<long>(m_limits.lowSpeedBytesPerSec));
        curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, static_cast<long>(m_limits.lowSpeedSeconds));
    }
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Transfer::onHeader);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Transfer::onBody);
}

HttpClient::~HttpClient()
{
    curl_multi_cleanup(multiHandle(m_multi));
    curl_easy_cleanup(easyHandle(m_easy));
}

QByteArray HttpClient::get(const QString& url)
{
    QByteArray body;
    Transfer transfer;
    transfer.body = &body;
    transfer.maxBytes = m_limits.maxBodyBytes;
    perform(url, transfer);
    return body;
}

void HttpClient::getToFile(const QString& url, const QString& filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Failure(QStringLiteral("Cannot write \"%1\": %2").arg(filePath, file.errorString()));
    Transfer transfer;
    transfer.file = &file;
    transfer.maxBytes = m_limits.maxFileBytes;
    try {
        perform(url, transfer);
        if (!file.flush())
            throw Failure(QStringLiteral("Cannot write \"%1\": %2").arg(filePath, file.errorString()));
        file.close();
    } catch (...) {
        file.close();
        file.remove();
        throw;
    }
}

void HttpClient::abort()
{
    m_aborted = true;
    curl_multi_wakeup(multiHandle(m_multi));
}

void HttpClient::perform(const QString& url, Transfer& transfer)
{
    std::lock_guard lock(m_requestMutex);
    const QUrl parsed(url, QUrl::StrictMode);
    const QString scheme = parsed.scheme().toLower();
    if (parsed.isValid() && scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        throw Failure(
            QStringLiteral("Only http and https addresses can be requested, not \"%1\"").arg(scheme));
    if (!parsed.isValid() || parsed.host().isEmpty())
        throw Failure(
            QStringLiteral("\"%1\" is not a valid address").arg(url.section(QLatin1Char('?'), 0, 0)));
    const QString where = describe(parsed);
    if (m_aborted)
        throw RequestCancelled(QStringLiteral("The request to %1 was cancelled").arg(where));

    CURL* easy = easyHandle(m_easy);
    CURLM* multi = multiHandle(m_multi);
    transfer.easy = easy;
    const QByteArray encodedUrl = url.toUtf8();
    curl_easy_setopt(easy, CURLOPT_URL, encodedUrl.constData());
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, transfer.errors);
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE,
                     static_cast<curl_off_t>(std::max<qint64>(transfer.maxBytes, 0)));

    CURLcode result = CURLE_OK;
    if (curl_multi_add_handle(multi, easy) != CURLM_OK)
        throw Failure(QStringLiteral("The request to %1 could not be started").arg(where));
    bool finished = false;
    while (!finished && !m_aborted) {
        int running = 0;
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
                result = message->data.result;
                finished = true;
            }
        }
        if (!finished && !m_aborted)
            curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
    }
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    curl_off_t connectTime = 0;
    curl_easy_getinfo(easy, CURLINFO_CONNECT_TIME_T, &connectTime);
    curl_multi_remove_handle(multi, easy);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, nullptr);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, nullptr);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, nullptr);

    if (m_aborted)
        throw RequestCancelled(QStringLiteral("The request to %1 was cancelled").arg(where));
    if (status != 0 && !isSuccessStatus(status)) {
        const QString answer = transfer.statusLine.isEmpty() ? QStringLiteral("HTTP %1").arg(status)
                                                             : QString::fromLatin1(transfer.statusLine);
        QString message = QStringLiteral("The server answered \"%1\" for %2").arg(answer, where);
        if (status >= 300 && status <= 399)
            message += QStringLiteral(" (redirects are not followed)");
        throw Failure(message);
    }
    if (transfer.tooLarge || result == CURLE_FILESIZE_EXCEEDED)
        throw Failure(QStringLiteral("The reply from %1 is larger than %2 and was refused")
                          .arg(where, size(transfer.maxBytes)));
    if (!transfer.fileError.isEmpty())
        throw Failure(
            QStringLiteral("Cannot write \"%1\": %2").arg(transfer.file->fileName(), transfer.fileError));
    if (!finished || result != CURLE_OK) {
        const QString detail = transfer.errors[0] ? QString::fromLocal8Bit(transfer.errors)
                                                  : QString::fromLatin1(curl_easy_strerror(result));
        switch (result) {
        case CURLE_OPERATION_TIMEDOUT:
            if (connectTime == 0)
                throw ServerUnreachable(QStringLiteral("Could not connect to %1 within %2")
                                            .arg(hostOf(parsed), duration(m_limits.connectTimeoutMs)));
            if (detail.startsWith(QLatin1String("Operation too slow")))
                throw ServerUnreachable(
                    QStringLiteral("The transfer from %1 was slower than %2 bytes per second for %3 s")
                        .arg(where)
                        .arg(m_limits.lowSpeedBytesPerSec)
                        .arg(m_limits.lowSpeedSeconds));
            throw ServerUnreachable(QStringLiteral("No complete reply from %1 within %2")
                                        .arg(where, duration(m_limits.totalTimeoutMs)));
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
            throw ServerUnreachable(
                QStringLiteral("The server name \"%1\" could not be resolved").arg(parsed.host()));
        case CURLE_COULDNT_CONNECT:
            throw ServerUnreachable(
                QStringLiteral("Could not connect to %1 (%2)").arg(hostOf(parsed), detail));
        case CURLE_GOT_NOTHING:
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
        case CURLE_PARTIAL_FILE:
            // The connection broke or closed before a whole reply came: the server did not answer.
            throw ServerUnreachable(QStringLiteral("The request to %1 failed: %2").arg(where, detail));
        default:
            throw Failure(QStringLiteral("The request to %1 failed: %2").arg(where, detail));
        }
    }
}

} // namespace quorvane
